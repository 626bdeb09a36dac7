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

// A control of the window and the row of the layout table it was made from.
struct Placed
{
    const form1::ControlSettings* settings;
    HWND control;
};

// What the window keeps for its life: the handlers, its controls, the fonts,
// picture and icons it made for the screen's resolution, and the control
// that last had the focus.
struct Form1State
{
    WindowEvents events;
    std::vector<Placed> placed;
    HWND compute = nullptr;
    HWND reset = nullptr;
    HWND title = nullptr;
    HWND focus = nullptr;
    HFONT dialogFont = nullptr;
    HFONT titleFont = nullptr;
    HBITMAP picture = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;

    ~Form1State()
    {
        DeleteObject(dialogFont);
        DeleteObject(titleFont);
        DeleteObject(picture);
        DestroyIcon(bigIcon);
        DestroyIcon(smallIcon);
    }
};

void scaleTo(HWND window, Form1State& state, int dpi);
SIZE windowSize(int dpi);

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
    case WM_GETDPISCALEDSIZE:
        // Asked before a move to a screen of another resolution: the size
        // that gives the client area its exact scaled size there.
        if (state) {
            *reinterpret_cast<SIZE*>(lParam) = windowSize(LOWORD(wParam));
            return TRUE;
        }
        break;
    case WM_DPICHANGED:
        // Moved to a screen of another resolution (or its scale changed):
        // everything is laid out again for it, in the rectangle Windows
        // suggests.
        if (state) {
            scaleTo(window, *state, LOWORD(wParam));
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
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

// One of the banner's pictures, a JPEG linked into the program (no file is
// read), as a top-down 24-bit bitmap of width x height pixels: decoded by
// Windows' imaging component, and brought to that size by its high-quality
// scaler where the picture was drawn at another. COM must be set up.
HBITMAP decodePicture(HINSTANCE instance, int resourceId, UINT width, UINT height)
{
    const HRSRC resource =
        FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10)); // RT_RCDATA
    const HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    if (!loaded)
        return nullptr;
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
    if (FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(LockResource(loaded)),
                                            SizeofResource(instance, resource))) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &rawDecoder)))
        return nullptr;
    const Com<IWICBitmapDecoder> decoder(rawDecoder);
    IWICBitmapFrameDecode* rawFrame = nullptr;
    if (FAILED(decoder->GetFrame(0, &rawFrame)))
        return nullptr;
    const Com<IWICBitmapFrameDecode> frame(rawFrame);
    UINT drawnWidth = 0;
    UINT drawnHeight = 0;
    if (FAILED(frame->GetSize(&drawnWidth, &drawnHeight)))
        return nullptr;

    IWICBitmapSource* picture = frame.get();
    Com<IWICBitmapScaler> scaler;
    if (drawnWidth != width || drawnHeight != height) {
        IWICBitmapScaler* rawScaler = nullptr;
        if (FAILED(factory->CreateBitmapScaler(&rawScaler)))
            return nullptr;
        scaler.reset(rawScaler);
        // Windows 10's high-quality cubic filter (mode 4, which MinGW's
        // headers do not name yet); earlier Windows has Fant's, also smooth.
        constexpr auto highQualityCubic = static_cast<WICBitmapInterpolationMode>(4);
        if (FAILED(scaler->Initialize(frame.get(), width, height, highQualityCubic)) &&
            FAILED(scaler->Initialize(frame.get(), width, height, WICBitmapInterpolationModeFant)))
            return nullptr;
        picture = scaler.get();
    }
    IWICFormatConverter* rawConverter = nullptr;
    if (FAILED(factory->CreateFormatConverter(&rawConverter)))
        return nullptr;
    const Com<IWICFormatConverter> converter(rawConverter);
    if (FAILED(converter->Initialize(picture, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                                     nullptr, 0, WICBitmapPaletteTypeCustom)))
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

// The banner for a rectangle of width x height pixels: the picture drawn at
// that size where there is one (the table's size at 96 dpi, or twice it),
// otherwise the twice-as-large one brought down or up to it; never the
// small one enlarged.
HBITMAP bannerPicture(const form1::Twips& rect, int width, int height)
{
    const bool natural =
        width == rect.width / form1::twipsPerPixel && height == rect.height / form1::twipsPerPixel;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HBITMAP bitmap = decodePicture(
        GetModuleHandleW(nullptr), natural ? CORVATTA_BANNER_RESOURCE : CORVATTA_BANNER_2X_RESOURCE,
        static_cast<UINT>(width), static_cast<UINT>(height));
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

// Resolution per screen came with Windows 10 (1607); the program still runs
// on Windows 7, so it looks these functions up rather than importing them,
// and without them keeps to the one resolution of the whole system.
template <typename Function> Function fromUser32(const char* name)
{
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

int systemDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The resolution of the screen the window is on.
int dpiOf(HWND window)
{
    static const auto getDpiForWindow = fromUser32<decltype(&GetDpiForWindow)>("GetDpiForWindow");
    return getDpiForWindow ? static_cast<int>(getDpiForWindow(window)) : systemDpi();
}

int systemMetric(int metric, int dpi)
{
    static const auto getSystemMetricsForDpi =
        fromUser32<decltype(&GetSystemMetricsForDpi)>("GetSystemMetricsForDpi");
    return getSystemMetricsForDpi ? getSystemMetricsForDpi(metric, static_cast<UINT>(dpi))
                                  : GetSystemMetrics(metric);
}

// A fixed single border with the icon, the caption and Close only.
constexpr DWORD windowStyle = WS_CAPTION | WS_SYSMENU;

int scaled(int twips, int dpi)
{
    return MulDiv(twips, dpi, 1440); // 1440 twips to the inch: 15 to a pixel at 96 dpi
}

// The window's outer size for its client area at a resolution.
SIZE windowSize(int dpi)
{
    static const auto adjustForDpi =
        fromUser32<decltype(&AdjustWindowRectExForDpi)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, scaled(form1::window.clientWidth, dpi),
               scaled(form1::window.clientHeight, dpi)};
    if (adjustForDpi)
        adjustForDpi(&frame, windowStyle, FALSE, 0, static_cast<UINT>(dpi));
    else
        AdjustWindowRectEx(&frame, windowStyle, FALSE, 0);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// A control's place in the client area at a resolution, in pixels.
struct Place
{
    int left;
    int top;
    int width;
    int height;
};

// A drop-down list's height includes its open list, eight times its closed
// height.
Place placeOf(const form1::ControlSettings& settings, int dpi)
{
    const form1::Twips& r = settings.rect;
    const int left = r.left + (settings.inFrame ? form1::frameLeft : 0);
    const int top = r.top + (settings.inFrame ? form1::frameTop : 0);
    const int height = settings.kind == form1::Kind::DropDownList ? r.height * 8 : r.height;
    return {scaled(left, dpi), scaled(top, dpi), scaled(r.width, dpi), scaled(height, dpi)};
}

// Lays the window's insides out for a resolution: fonts, every control's
// rectangle, the banner's picture and the icons. The window's own size is
// the caller's to set.
void scaleTo(HWND window, Form1State& state, int dpi)
{
    const HFONT dialogFont = createFont(L"MS Shell Dlg", 8, false, dpi);
    const HFONT titleFont = createTitleFont(dpi);
    for (const Placed& placed : state.placed) {
        const form1::ControlSettings& settings = *placed.settings;
        const HWND control = placed.control;
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(settings.font ? titleFont : dialogFont), FALSE);
        if (settings.kind == form1::Kind::Image) {
            // The picture first: setting it resizes the control to it.
            const HBITMAP picture = bannerPicture(settings.rect, scaled(settings.rect.width, dpi),
                                                  scaled(settings.rect.height, dpi));
            SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
            DeleteObject(state.picture);
            state.picture = picture;
        }
        const Place place = placeOf(settings, dpi);
        SetWindowPos(control, nullptr, place.left, place.top, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (settings.kind == form1::Kind::DropDownList) {
            // The closed list is as high as the table says: its selection
            // field grows or shrinks by what the list's height is off by.
            for (int attempt = 0; attempt < 3; ++attempt) {
                RECT closed;
                GetWindowRect(control, &closed);
                const int off = scaled(settings.rect.height, dpi) - (closed.bottom - closed.top);
                if (off == 0)
                    break;
                const LRESULT field =
                    SendMessageW(control, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
                SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + off);
            }
        }
    }
    DeleteObject(state.dialogFont);
    DeleteObject(state.titleFont);
    state.dialogFont = dialogFont;
    state.titleFont = titleFont;

    // The title bar's and the taskbar's icons at the sizes this resolution
    // asks for: the icon holds larger drawings for sizes above 32.
    const auto icon = [dpi](int metric) {
        const int size = systemMetric(metric, dpi);
        return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                             IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    };
    const HICON bigIcon = icon(SM_CXICON);
    const HICON smallIcon = icon(SM_CXSMICON);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    DestroyIcon(state.bigIcon);
    DestroyIcon(state.smallIcon);
    state.bigIcon = bigIcon;
    state.smallIcon = smallIcon;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

} // namespace

Win32Window createForm1Win32(const WindowEvents& events)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerClass(instance);

    auto state = std::make_unique<Form1State>();
    state->events = events;

    // Made at the system's resolution, then laid out at the one of the
    // screen it opens on.
    const int createdAt = systemDpi();
    const SIZE size = windowSize(createdAt);
    Win32Window made;
    made.window = CreateWindowExW(0, windowClass, toUtf16(form1::window.caption).c_str(),
                                  windowStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy,
                                  nullptr, nullptr, instance, nullptr);
    if (!made.window)
        return made;

    for (const form1::ControlSettings* settings : creationOrder()) {
        const ControlClass kind = controlClass(settings->kind);
        const Place place = placeOf(*settings, createdAt);
        const auto id =
            static_cast<std::size_t>(firstControlId + (settings - form1::controls.data()));
        const HWND control = CreateWindowExW(
            kind.exStyle, kind.name, toUtf16(settings->caption).c_str(),
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, place.left, place.top,
            place.width, place.height, made.window, reinterpret_cast<HMENU>(id), instance, nullptr);
        state->placed.push_back({settings, control});

        switch (settings->kind) {
        case form1::Kind::TextBox:
            SendMessageW(control, EM_SETLIMITTEXT, 0, 0); // no limit of the program's own
            break;
        case form1::Kind::DropDownList:
            for (const std::string_view item : settings->items)
                SendMessageW(control, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(toUtf16(item).c_str()));
            break;
        case form1::Kind::PushButton:
            SetWindowSubclass(control, neverDefault, 0, 0);
            (settings->name == "Command1" ? state->compute : state->reset) = control;
            break;
        case form1::Kind::Label:
            if (settings->font)
                state->title = control;
            break;
        case form1::Kind::Image:
        case form1::Kind::Frame:
            break;
        }
        for (std::size_t i = 0; i < made.controls.size(); ++i)
            if (controlName(static_cast<Control>(i)) == settings->name)
                made.controls[i] = control;
    }

    const int dpi = dpiOf(made.window);
    scaleTo(made.window, *state, dpi);
    if (dpi != createdAt) {
        const SIZE atDpi = windowSize(dpi);
        SetWindowPos(made.window, nullptr, 0, 0, atDpi.cx, atDpi.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The window opens with the focus in the first box of the tab order.
    state->focus = made.controls[static_cast<std::size_t>(Control::Text1)];
    SetWindowLongPtrW(made.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.release()));
    return made;
}
