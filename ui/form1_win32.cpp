#include "form1_win32.h"

#include "bannerresource.h"
#include "form1layout.h"
#include "utf16.h"

#include <commctrl.h>
#include <wincodec.h>

#include <memory>
#include <string_view>
#include <vector>

namespace {

constexpr wchar_t windowClass[] = L"Corvatta.Form1";
// Control ids start past IDOK and IDCANCEL, which the dialog keys Enter and
// Esc send: nothing may answer to those.
constexpr int firstControlId = 100;

// What the window keeps for its life: the handlers, the fonts and picture it
// made, and the control that last had the focus.
struct Form1State
{
    WindowEvents events;
    HWND compute = nullptr;
    HWND reset = nullptr;
    HWND title = nullptr;
    HWND focus = nullptr;
    HFONT dialogFont = nullptr;
    HFONT titleFont = nullptr;
    HBITMAP banner = nullptr;

    ~Form1State()
    {
        DeleteObject(dialogFont);
        DeleteObject(titleFont);
        DeleteObject(banner);
    }
};

Form1State* stateOf(HWND window)
{
    return reinterpret_cast<Form1State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK form1Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Form1State* state = stateOf(window);
    switch (message) {
    case WM_COMMAND:
        if (state && HIWORD(wParam) == BN_CLICKED) {
            const auto from = reinterpret_cast<HWND>(lParam);
            const auto& handler = from == state->compute ? state->events.computeClick
                                  : from == state->reset ? state->events.resetClick
                                                         : nullptr;
            if (handler)
                handler();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        // The title's text is black whatever the colour scheme.
        if (state && reinterpret_cast<HWND>(lParam) == state->title) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_ACTIVATE:
        // A window that is not a dialog forgets its focused control when it
        // loses activation; bring the focus back where the user left it.
        if (state) {
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(window, focus))
                    state->focus = focus;
            } else if (state->focus) {
                SetFocus(state->focus);
                return 0;
            }
        }
        break;
    case WM_NCDESTROY:
        delete state;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Neither push button ever becomes the default button: Enter on a focused
// button does not press it, as Enter in a box does not press "Compute".
LRESULT CALLBACK neverDefault(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR)
{
    if (message == BM_SETSTYLE)
        wParam = (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_PUSHBUTTON;
    const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
    if (message == WM_GETDLGCODE)
        return (result & ~DLGC_DEFPUSHBUTTON) | DLGC_UNDEFPUSHBUTTON;
    return result;
}

template <typename T> struct ComRelease
{
    void operator()(T* object) const { object->Release(); }
};
template <typename T> using Com = std::unique_ptr<T, ComRelease<T>>;

// A JPEG held in memory as a top-down 24-bit bitmap, decoded by Windows' own
// imaging component (COM must be set up).
HBITMAP decodeJpeg(BYTE* bytes, DWORD size)
{
    IWICImagingFactory* rawFactory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&rawFactory))))
        return nullptr;
    const Com<IWICImagingFactory> factory(rawFactory);
    IWICStream* rawStream = nullptr;
    if (FAILED(factory->CreateStream(&rawStream)))
        return nullptr;
    const Com<IWICStream> stream(rawStream);
    IWICBitmapDecoder* rawDecoder = nullptr;
    if (FAILED(stream->InitializeFromMemory(bytes, size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &rawDecoder)))
        return nullptr;
    const Com<IWICBitmapDecoder> decoder(rawDecoder);
    IWICBitmapFrameDecode* rawFrame = nullptr;
    if (FAILED(decoder->GetFrame(0, &rawFrame)))
        return nullptr;
    const Com<IWICBitmapFrameDecode> frame(rawFrame);
    IWICFormatConverter* rawConverter = nullptr;
    if (FAILED(factory->CreateFormatConverter(&rawConverter)))
        return nullptr;
    const Com<IWICFormatConverter> converter(rawConverter);
    UINT width = 0;
    UINT height = 0;
    if (FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat24bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)))
        return nullptr;

    // 24 bits, not 32: the themed static control would take a 32-bit
    // bitmap's empty alpha channel for transparency.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height); // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    const UINT stride = (width * 3 + 3) & ~3U; // rows padded to whole 32-bit words
    if (bitmap && FAILED(converter->CopyPixels(nullptr, stride, stride * height,
                                               static_cast<BYTE*>(pixels)))) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    return bitmap;
}

// The banner, from the JPEG linked into the program: no file is read.
HBITMAP loadBanner(HINSTANCE instance)
{
    const HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(CORVATTA_BANNER_RESOURCE),
                                         MAKEINTRESOURCEW(10)); // RT_RCDATA
    const HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    if (!loaded)
        return nullptr;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HBITMAP bitmap =
        decodeJpeg(static_cast<BYTE*>(LockResource(loaded)), SizeofResource(instance, resource));
    if (SUCCEEDED(com))
        CoUninitialize();
    return bitmap;
}

HFONT createFont(std::wstring_view family, int points, bool bold, int dpi)
{
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, dpi, 72);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    family.copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

// The title's font. Where MS Sans Serif has no face of that size (its
// bitmaps stop short of 18 points on some systems), Microsoft Sans Serif, its
// scalable successor, stands in, or whatever plain sans-serif Windows maps
// that name to.
HFONT createTitleFont(int dpi)
{
    const form1::Font& title = form1::titleFont;
    HFONT font = createFont(toUtf16(title.family), title.points, title.bold, dpi);
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (metrics.tmHeight - metrics.tmInternalLeading < MulDiv(title.points, dpi, 72) ||
        (title.bold && metrics.tmWeight < FW_BOLD)) {
        DeleteObject(font);
        font = createFont(L"Microsoft Sans Serif", title.points, title.bold, dpi);
    }
    return font;
}

void registerClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClassInfo{};
    if (GetClassInfoExW(instance, windowClass, &windowClassInfo))
        return;
    windowClassInfo.cbSize = sizeof windowClassInfo;
    windowClassInfo.lpfnWndProc = form1Proc;
    windowClassInfo.hInstance = instance;
    // Icon group 1: the program's own 32 x 32 icon.
    windowClassInfo.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClassInfo.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClassInfo.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClassInfo.lpszClassName = windowClass;
    RegisterClassExW(&windowClassInfo);
}

// The order the controls are made in, which is Windows' tab order and what
// its screen readers go by: the banner, the title and the description, then
// each label just before the control it names, in tab order, and the frame
// last, below everything it encloses.
std::vector<const form1::ControlSettings*> creationOrder()
{
    using form1::Kind;
    std::vector<const form1::ControlSettings*> order;
    for (const Kind kind : {Kind::Image, Kind::Label})
        for (const form1::ControlSettings& c : form1::controls)
            if (c.kind == kind && c.names.empty())
                order.push_back(&c);
    for (const form1::ControlSettings* stop : form1::tabStops()) {
        if (const form1::ControlSettings* label = form1::labelFor(stop->name))
            order.push_back(label);
        order.push_back(stop);
    }
    for (const form1::ControlSettings& c : form1::controls)
        if (c.kind == Kind::Frame)
            order.push_back(&c);
    return order;
}

struct ControlClass
{
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

ControlClass controlClass(form1::Kind kind)
{
    using form1::Kind;
    switch (kind) {
    case Kind::Frame:
        return {L"BUTTON", BS_GROUPBOX, 0};
    case Kind::TextBox:
        return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case Kind::DropDownList:
        return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case Kind::PushButton:
        return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
    case Kind::Label:
        return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0}; // SS_LEFT wraps at words
    case Kind::Image:
        return {L"STATIC", SS_BITMAP | SS_CENTERIMAGE, 0};
    }
    return {};
}

} // namespace

Win32Window createForm1Win32(const WindowEvents& events)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerClass(instance);

    // Twips to pixels at the screen's resolution: 15 to a pixel at 96 dpi.
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto scaled = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };

    // A fixed single border with the icon, the caption and Close only.
    constexpr DWORD style = WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, scaled(form1::window.clientWidth), scaled(form1::window.clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);

    auto state = std::make_unique<Form1State>();
    state->events = events;
    state->dialogFont = createFont(L"MS Shell Dlg", 8, false, dpi);
    state->titleFont = createTitleFont(dpi);

    Win32Window made;
    made.window = CreateWindowExW(0, windowClass, toUtf16(form1::window.caption).c_str(), style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!made.window)
        return made;

    for (const form1::ControlSettings* settings : creationOrder()) {
        const ControlClass kind = controlClass(settings->kind);
        const form1::Twips& r = settings->rect;
        const int left = r.left + (settings->inFrame ? form1::frameLeft : 0);
        const int top = r.top + (settings->inFrame ? form1::frameTop : 0);
        // A drop-down list's height includes its open list; its closed
        // height is set from the table below.
        const int height = settings->kind == form1::Kind::DropDownList ? r.height * 8 : r.height;
        const auto id =
            static_cast<std::size_t>(firstControlId + (settings - form1::controls.data()));
        const HWND control =
            CreateWindowExW(kind.exStyle, kind.name, toUtf16(settings->caption).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, scaled(left),
                            scaled(top), scaled(r.width), scaled(height), made.window,
                            reinterpret_cast<HMENU>(id), instance, nullptr);
        SendMessageW(
            control, WM_SETFONT,
            reinterpret_cast<WPARAM>(settings->font ? state->titleFont : state->dialogFont), FALSE);

        switch (settings->kind) {
        case form1::Kind::TextBox:
            SendMessageW(control, EM_SETLIMITTEXT, 0, 0); // no limit of the program's own
            break;
        case form1::Kind::DropDownList: {
            for (const std::string_view item : settings->items)
                SendMessageW(control, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(toUtf16(item).c_str()));
            // The closed list is as high as the table says: its selection
            // field grows or shrinks by what the list's height is off by.
            for (int attempt = 0; attempt < 3; ++attempt) {
                RECT closed;
                GetWindowRect(control, &closed);
                const int off = scaled(r.height) - (closed.bottom - closed.top);
                if (off == 0)
                    break;
                const LRESULT field =
                    SendMessageW(control, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
                SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + off);
            }
            break;
        }
        case form1::Kind::PushButton:
            SetWindowSubclass(control, neverDefault, 0, 0);
            (settings->name == "Command1" ? state->compute : state->reset) = control;
            break;
        case form1::Kind::Label:
            if (settings->font)
                state->title = control;
            break;
        case form1::Kind::Image:
            state->banner = loadBanner(instance);
            SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP,
                         reinterpret_cast<LPARAM>(state->banner));
            SetWindowPos(control, nullptr, 0, 0, scaled(r.width), scaled(r.height),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        case form1::Kind::Frame:
            break;
        }
        for (std::size_t i = 0; i < made.controls.size(); ++i)
            if (controlName(static_cast<Control>(i)) == settings->name)
                made.controls[i] = control;
    }

    // The window opens with the focus in the first box of the tab order.
    state->focus = made.controls[static_cast<std::size_t>(Control::Text1)];
    SetWindowLongPtrW(made.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.release()));
    return made;
}
