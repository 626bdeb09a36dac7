// The Windows window, in this process: its controls as created, the keyboard,
// the fonts, the banner, and the three handlers end to end through the real
// controls and the real message box.
#include "behaviour.h"
#include "form1_win32.h"
#include "layoutcases.h"
#include "messagebox.h"
#include "startup.h"
#include "utf16.h"
#include "win32numbers.h"
#include "wintest.h"

#include <commctrl.h>
#include <wincodec.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string textOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)), L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size() + 1));
    return toUtf8(text);
}

std::string classOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return toUtf8(name);
}

using wintest::SeenMessage;

std::vector<SeenMessage> seen;

// Runs inside the message box's own modal loop: reads the box, then presses
// its OK button, so that no box can stop a test.
void CALLBACK closeMessageBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND box, LPARAM) -> BOOL {
            if (wintest::isMessageBox(box)) {
                seen.push_back(wintest::readMessageBox(box));
                wintest::pressOk(box);
            }
            return TRUE;
        },
        0);
}

class Window
{
public:
    explicit Window(const wchar_t* locale = L"en-US")
        : platform(createForm1Win32, L"Corvatta", windowsNumberFormat(locale))
    {
        startProgram(platform);
        SetForegroundWindow(platform.window());
        pump();
    }

    void pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            platform.dispatch(message);
    }

    HWND operator[](Control control) const { return platform.control(control); }
    HWND window() const { return platform.window(); }

    void press(WPARAM key, bool shift = false)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        const HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
        pump();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }

    void type(Control box, const char* text)
    {
        SetFocus((*this)[box]);
        SendMessageW((*this)[box], EM_SETSEL, 0, -1);
        for (const wchar_t c : toUtf16(text))
            PostMessageW((*this)[box], WM_CHAR, c, 1);
        pump();
    }

    // A mouse click on a button: Windows' own BM_CLICK.
    void click(Control button)
    {
        SendMessageW((*this)[button], BM_CLICK, 0, 0);
        pump();
    }

    std::string text(Control control) const { return textOf((*this)[control]); }

    std::string focused() const
    {
        for (std::size_t i = 0; i < 8; ++i)
            if (GetFocus() == (*this)[static_cast<Control>(i)])
                return std::string(controlName(static_cast<Control>(i)));
        return "another control";
    }

    // A control found by its class and caption, for those the program never
    // touches (labels, frame, banner).
    HWND find(const char* className, const std::string& caption) const
    {
        for (HWND child = GetWindow(window(), GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT))
            if (classOf(child) == className && textOf(child) == caption)
                return child;
        return nullptr;
    }

    Win32Platform platform;
};

void controlsAsCreated()
{
    Window w;
    int children = 0;
    for (HWND c = GetWindow(w.window(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        ++children;
    TEST("window");
    CHECK_EQ(children, static_cast<int>(std::size(layoutcases::controls)));
    CHECK_EQ(textOf(w.window()), layoutcases::title);
    RECT client;
    GetClientRect(w.window(), &client);
    CHECK_EQ(client.right, layoutcases::clientWidth);
    CHECK_EQ(client.bottom, layoutcases::clientHeight);
    const LONG style = GetWindowLongW(w.window(), GWL_STYLE);
    CHECK((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU));
    CHECK(!(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)));
    ICONINFO icon{};
    BITMAP iconBitmap{};
    CHECK(GetIconInfo(reinterpret_cast<HICON>(GetClassLongPtrW(w.window(), GCLP_HICON)), &icon));
    GetObjectW(icon.hbmColor, sizeof iconBitmap, &iconBitmap);
    CHECK_EQ(iconBitmap.bmWidth, 32);
    DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);

    for (const layoutcases::ControlCase& row : layoutcases::controls) {
        TEST(row.name);
        const std::string name = row.name;
        HWND control = nullptr;
        for (std::size_t i = 0; i < 8; ++i)
            if (controlName(static_cast<Control>(i)) == name)
                control = w[static_cast<Control>(i)];
        if (!control)
            control = w.find(row.windowsClass, row.caption);
        if (!CHECK(control))
            continue;
        CHECK_EQ(classOf(control), row.windowsClass);
        if (name == "Combo1") {
            // Its items, the first one chosen as the window loads.
            std::string items;
            for (WPARAM i = 0; i < WPARAM(SendMessageW(control, CB_GETCOUNT, 0, 0)); ++i) {
                wchar_t item[64] = {};
                SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                items += (i ? "|" : "") + toUtf8(item);
            }
            CHECK_EQ(items, row.caption);
            CHECK_EQ(SendMessageW(control, CB_GETCURSEL, 0, 0), 0);
        } else {
            CHECK_EQ(textOf(control), row.caption);
        }
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, w.window(), reinterpret_cast<POINT*>(&r), 2);
        const layoutcases::Rect expected = layoutcases::inClientArea(row);
        CHECK_EQ(r.left, expected.left);
        CHECK_EQ(r.top, expected.top);
        CHECK_EQ(r.right - r.left, expected.width);
        CHECK_EQ(r.bottom - r.top, expected.height);

        const LONG controlStyle = GetWindowLongW(control, GWL_STYLE);
        if (name.starts_with("Label")) {
            // A screen reader names each box after the label just before it.
            CHECK((controlStyle & SS_TYPEMASK) == SS_LEFT && (controlStyle & SS_NOPREFIX));
            CHECK(!(controlStyle & WS_TABSTOP));
            for (std::size_t i = 0; *row.names && i < 8; ++i)
                if (controlName(static_cast<Control>(i)) == row.names)
                    CHECK(GetWindow(control, GW_HWNDNEXT) == w[static_cast<Control>(i)]);
        }
        if (name == "Combo1") {
            CHECK((controlStyle & 3) == CBS_DROPDOWNLIST);
            CHECK(!(controlStyle & CBS_SORT));
        }
        if (name.starts_with("Text"))
            CHECK(SendMessageW(control, EM_GETLIMITTEXT, 0, 0) > 32767);
    }
}

void fontsAndCaptions()
{
    Window w;
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    for (HWND c = GetWindow(w.window(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const std::string caption = textOf(c);
        if ((GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            continue; // the banner: a picture, no text
        TEST("font of " + classOf(c) + " \"" + caption.substr(0, 20) + "\"");
        const auto font = reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0));
        LOGFONTW f{};
        GetObjectW(font, sizeof f, &f);
        const std::string face = toUtf8(f.lfFaceName);
        if (caption == layoutcases::control("Label7").caption && classOf(c) == "Static") {
            const auto& title = layoutcases::titleFont;
            CHECK(face == title.family || face == "Microsoft Sans Serif");
            CHECK_EQ(f.lfHeight, -MulDiv(title.points, dpi, 72));
            CHECK_EQ(f.lfWeight, title.bold ? FW_BOLD : FW_NORMAL);
        } else {
            CHECK_EQ(face, "MS Shell Dlg");
            CHECK_EQ(f.lfHeight, -MulDiv(8, dpi, 72));
            CHECK_EQ(f.lfWeight, FW_NORMAL);
        }
        CHECK(!f.lfItalic && !f.lfUnderline && !f.lfStrikeOut);

        // Every caption fits its rectangle, wrapped at words as the label
        // wraps it.
        if (classOf(c) != "Static")
            continue;
        TEST("caption fits: " + caption.substr(0, 30));
        RECT room;
        GetClientRect(c, &room);
        RECT needed = room;
        const HGDIOBJ old = SelectObject(screen, font);
        const std::wstring text = toUtf16(caption);
        DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &needed,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        SelectObject(screen, old);
        CHECK(needed.right <= room.right);
        CHECK(needed.bottom <= room.bottom);
    }
    ReleaseDC(nullptr, screen);

    TEST("banner");
    const HWND banner = w.find("Static", "");
    const auto picture =
        reinterpret_cast<HBITMAP>(SendMessageW(banner, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP size{};
    if (CHECK(picture) && CHECK(GetObjectW(picture, sizeof size, &size))) {
        const layoutcases::Rect place = layoutcases::control("Image1").rect;
        CHECK_EQ(size.bmWidth, place.width);
        CHECK_EQ(size.bmHeight, place.height);
        // Decoded, not blank: the lettering across its middle differs from
        // the background.
        const HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(dc, picture);
        const COLORREF background = GetPixel(dc, 2, 2);
        int lettering = 0;
        for (int x = 0; x < size.bmWidth; ++x)
            lettering += GetPixel(dc, x, size.bmHeight / 2) != background;
        SelectObject(dc, old);
        DeleteDC(dc);
        CHECK(lettering > 20);
    }
}

void keyboard()
{
    Window w;
    TEST("focus at start");
    CHECK_EQ(w.focused(), "Text1");

    TEST("Tab and Shift+Tab");
    // Round from Text1 to Text1, and back.
    const std::size_t stops = std::size(layoutcases::tabOrder);
    for (std::size_t i = 1; i <= stops; ++i) {
        w.press(VK_TAB);
        CHECK_EQ(w.focused(), layoutcases::tabOrder[i % stops]);
    }
    for (std::size_t i = stops; i-- > 0;) {
        w.press(VK_TAB, true);
        CHECK_EQ(w.focused(), layoutcases::tabOrder[i]);
    }

    // With every box empty, a press of "Compute" would show a message.
    TEST("Enter and Esc press nothing");
    seen.clear();
    for (const Control at : {Control::Text1, Control::Command1, Control::Command2}) {
        SetFocus(w[at]);
        w.press(VK_RETURN);
        w.press(VK_ESCAPE);
        // Neither button looks like, or acts as, the default button.
        for (const Control button : {Control::Command1, Control::Command2})
            CHECK_EQ(GetWindowLongW(w[button], GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    }
    CHECK_EQ(seen.size(), 0U);
    CHECK(IsWindow(w.window()));
    for (const Control box : {Control::Text1, Control::Text2, Control::Text3})
        CHECK_EQ(w.text(box), "");

    // Windows' dialog manager may try to make a focused push button the
    // default one (Wine's never does); the buttons refuse.
    TEST("neither button can be made the default button");
    for (const Control button : {Control::Command1, Control::Command2}) {
        SendMessageW(w[button], BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        CHECK_EQ(GetWindowLongW(w[button], GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
        CHECK(!(SendMessageW(w[button], WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON));
    }

    TEST("Space presses the focused button");
    SetFocus(w[Control::Command1]);
    w.press(VK_SPACE);
    CHECK_EQ(seen.size(), 1U);
}

// Every row of the behaviour table, each in a window of its own, typed into
// the real controls and clicked.
void behaviour()
{
    for (const BehaviourCase& row : behaviourCases) {
        TEST(row.name);
        Window w(row.region == Region::German ? L"de-DE" : L"en-US");
        SendMessageW(w[Control::Combo1], CB_SETCURSEL, static_cast<WPARAM>(row.kind), 0);
        w.type(Control::Text1, row.payment);
        w.type(Control::Text2, row.rate);
        w.type(Control::Text3, row.balance);
        w.type(Control::Text4, untouched);
        w.type(Control::Text5, untouched);
        seen.clear();
        for (int i = 0; i < row.presses; ++i)
            w.click(row.button == Button::Compute ? Control::Command1 : Control::Command2);
        std::vector<std::string> boxes;
        for (const Control box : textBoxes)
            boxes.push_back(w.text(box));
        wintest::checkOutcome(row, w.window(), seen, boxes,
                              SendMessageW(w[Control::Combo1], CB_GETCURSEL, 0, 0));
    }
}

// A picture's pixels, top-down, as 0xRRGGBB.
std::vector<DWORD> pixelsOf(HBITMAP bitmap)
{
    BITMAP size{};
    GetObjectW(bitmap, sizeof size, &size);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.bmWidth;
    info.bmiHeader.biHeight = -size.bmHeight; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(size.bmWidth * size.bmHeight));
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.bmHeight), pixels.data(), &info,
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// One of the banner's drawings, read from ui/resources by Windows' imaging
// component, its pixels as pixelsOf gives them; empty if it cannot be read.
std::vector<DWORD> decodeDrawing(const std::string& name)
{
    std::vector<DWORD> pixels;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT width = 0;
    UINT height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(toUtf16(CORVATTA_RESOURCES + name).c_str(),
                                                     nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                        nullptr, 0, WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&width, &height))) {
        pixels.resize(std::size_t{width} * height);
        if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                         reinterpret_cast<BYTE*>(pixels.data()))))
            pixels.clear();
    }
    for (IUnknown* object : std::initializer_list<IUnknown*>{converter, frame, decoder, factory})
        if (object)
            object->Release();
    if (SUCCEEDED(com))
        CoUninitialize();
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// Moved to a screen of another resolution, the window is laid out again for
// it: Windows asks for its size there (WM_GETDPISCALEDSIZE), then sends
// WM_DPICHANGED with the rectangle to take. Wine sends neither, so the test
// sends both, as Windows would, and the window's own handlers run.
void followsTheScreensResolution()
{
    struct Row
    {
        int dpi;
        SIZE client;
        RECT text1; // left, top, width, height
        LONG fontHeight;
        SIZE banner;
        const char* drawing; // the banner picture it must be, pixel for pixel; or none
    };
    // At dpi / 1440 pixels a twip, rounded half up (MulDiv): the client area
    // 6495 x 7335 twips, Text1 at (120 + 3720, 1920 + 1800) and 2295 x 285,
    // the banner 4890 x 540; the dialog font 8 points of dpi / 72 pixels.
    //   144: 649.5 x 733.5 -> 650 x 734; (384, 372), 229.5 x 28.5 -> 230 x 29;
    //        -16; 489 x 54, scaled from the 2x drawing: no drawing as is.
    //   192: 866 x 978; (512, 496), 306 x 38; -21.3 -> -21; 652 x 72, the 2x.
    //    96: 433 x 489; (256, 248), 153 x 19; -10.7 -> -11; 326 x 36, the 1x.
    const Row rows[] = {
        {144, {650, 734}, {384, 372, 230, 29}, -16, {489, 54}, nullptr},
        {192, {866, 978}, {512, 496, 306, 38}, -21, {652, 72}, "banner@2x.jpg"},
        {96, {433, 489}, {256, 248, 153, 19}, -11, {326, 36}, "banner.jpg"},
    };
    Window w;
    const HWND banner = w.find("Static", "");
    for (const Row& row : rows) {
        TEST("at " + std::to_string(row.dpi) + " dpi");
        SIZE size{};
        CHECK(SendMessageW(w.window(), WM_GETDPISCALEDSIZE, static_cast<WPARAM>(row.dpi),
                           reinterpret_cast<LPARAM>(&size)));
        RECT suggested;
        GetWindowRect(w.window(), &suggested);
        suggested.right = suggested.left + size.cx;
        suggested.bottom = suggested.top + size.cy;
        SendMessageW(w.window(), WM_DPICHANGED, MAKEWPARAM(row.dpi, row.dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        w.pump();

        // The size asked for holds the client area and a frame; the window
        // takes the rectangle it is given. (Wine draws frames for the
        // screen's own resolution, so the client area comes out exact only
        // there: at 96 dpi.)
        CHECK(size.cx - row.client.cx >= 0 && size.cx - row.client.cx < 32);
        CHECK(size.cy - row.client.cy >= 0 && size.cy - row.client.cy < 64);
        RECT taken;
        GetWindowRect(w.window(), &taken);
        CHECK_EQ(taken.right - taken.left, size.cx);
        CHECK_EQ(taken.bottom - taken.top, size.cy);
        RECT client;
        GetClientRect(w.window(), &client);
        if (row.dpi == 96) {
            CHECK_EQ(client.right, row.client.cx);
            CHECK_EQ(client.bottom, row.client.cy);
        }
        RECT text1;
        GetWindowRect(w[Control::Text1], &text1);
        MapWindowPoints(nullptr, w.window(), reinterpret_cast<POINT*>(&text1), 2);
        CHECK_EQ(text1.left, row.text1.left);
        CHECK_EQ(text1.top, row.text1.top);
        CHECK_EQ(text1.right - text1.left, row.text1.right);
        CHECK_EQ(text1.bottom - text1.top, row.text1.bottom);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w[Control::Text1], WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        CHECK_EQ(font.lfHeight, row.fontHeight);

        // The banner's picture fills its control, which has the table's size.
        RECT place;
        GetClientRect(banner, &place);
        CHECK_EQ(place.right, row.banner.cx);
        CHECK_EQ(place.bottom, row.banner.cy);
        const auto picture =
            reinterpret_cast<HBITMAP>(SendMessageW(banner, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP bitmap{};
        if (!CHECK(GetObjectW(picture, sizeof bitmap, &bitmap)))
            continue;
        CHECK_EQ(bitmap.bmWidth, row.banner.cx);
        CHECK_EQ(bitmap.bmHeight, row.banner.cy);
        if (row.drawing) {
            const std::vector<DWORD> drawing = decodeDrawing(row.drawing);
            CHECK_EQ(drawing.size(), std::size_t(row.banner.cx * row.banner.cy));
            CHECK(pixelsOf(picture) == drawing);
        }
    }
}

} // namespace

int wmain()
{
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const UINT_PTR watcher = SetTimer(nullptr, 0, 20, closeMessageBoxes);

    controlsAsCreated();
    fontsAndCaptions();
    keyboard();
    behaviour();
    followsTheScreensResolution();

    KillTimer(nullptr, watcher);
    return wintest::finish();
}
