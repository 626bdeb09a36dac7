// Corvatta.exe as a user starts it: with stray arguments, one window of the
// right size and frame, the behaviour table through its controls, the
// banner drawn from the picture made for the screen's density, closed by its
// Close button.
#include "behaviour.h"
#include "messagebox.h"
#include "utf16.h"
#include "wintest.h"

#include <wincodec.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

const std::wstring exe = toUtf16(CORVATTA_EXE);

using wintest::SeenMessage;

std::wstring textOf(HWND window)
{
    return toUtf16(wintest::windowText(window));
}

// Reads and closes every message box of the program under test, on a thread
// of its own: a box that nobody expected then fails its test at once, with
// its text, instead of holding the program's click until the time runs out.
class MessageBoxWatcher
{
public:
    explicit MessageBoxWatcher(DWORD process)
        : process_(process), thread_(CreateThread(nullptr, 0, run, this, 0, nullptr))
    {
    }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    ~MessageBoxWatcher()
    {
        stop_ = true;
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
    }

    // The boxes seen since the last call, in the order they opened.
    std::vector<SeenMessage> take()
    {
        AcquireSRWLockExclusive(&lock_);
        std::vector<SeenMessage> boxes;
        boxes.swap(seen_);
        ReleaseSRWLockExclusive(&lock_);
        return boxes;
    }

private:
    static DWORD WINAPI run(void* self)
    {
        auto* watcher = static_cast<MessageBoxWatcher*>(self);
        while (!watcher->stop_) {
            EnumWindows(
                [](HWND window, LPARAM param) -> BOOL {
                    static_cast<MessageBoxWatcher*>(reinterpret_cast<void*>(param))->close(window);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(self));
            Sleep(20);
        }
        return 0;
    }

    void close(HWND window)
    {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != process_ || !wintest::isMessageBox(window))
            return;
        SeenMessage box = wintest::readMessageBox(window);
        AcquireSRWLockExclusive(&lock_);
        seen_.push_back(box);
        ReleaseSRWLockExclusive(&lock_);
        wintest::pressOk(window);
        // Gone before the next look, so that no box is counted twice.
        for (int tries = 0; tries < 250 && IsWindow(window); ++tries)
            Sleep(20);
    }

    const DWORD process_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::vector<SeenMessage> seen_;
    std::atomic<bool> stop_ = false;
    HANDLE thread_; // last: the thread starts once everything above exists
};

struct Search
{
    DWORD process;
    HWND found;
};

// The program's top-level window, once all 18 controls exist in it.
HWND waitForWindow(DWORD process)
{
    for (int tries = 0; tries < 200; ++tries) {
        Search search{process, nullptr};
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<Search*>(param);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s->process && IsWindowVisible(window) && !GetParent(window))
                    s->found = window;
                return !s->found;
            },
            reinterpret_cast<LPARAM>(&search));
        int children = 0;
        for (HWND c = search.found ? GetWindow(search.found, GW_CHILD) : nullptr; c;
             c = GetWindow(c, GW_HWNDNEXT))
            ++children;
        if (children == 18)
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

std::vector<HWND> children(HWND window, const char* className)
{
    std::vector<HWND> found;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (wintest::windowClass(c) == className)
            found.push_back(c);
    return found;
}

// The client area, and Text1's place in it, at the screen's resolution:
// twips / 15 at 96 dpi, and half as much again at 144 dpi (433 x 1.5 =
// 649.5 and 489 x 1.5 = 733.5, rounded up; Text1 at (120 + 3720) / 10,
// (1920 + 1800) / 10, 2295 / 10 wide).
struct Scaled
{
    int dpi;
    SIZE client;
    RECT text1;
};
constexpr Scaled at96{96, {433, 489}, {256, 248, 256 + 153, 248 + 19}};
constexpr Scaled at144{144, {650, 734}, {384, 372, 384 + 230, 372 + 29}};

// Every row of the behaviour table in the one window, the inputs set and
// the button clicked through the controls. The prefix's regional settings
// are English (United States): the rows in another format are left to
// wtst_form1.
void behaviour(HWND window, MessageBoxWatcher& boxes)
{
    const std::vector<HWND> edits = children(window, "Edit");
    const HWND list = children(window, "ComboBox")[0];
    for (const BehaviourCase& row : behaviourCases) {
        if (row.region != Region::English)
            continue;
        TEST(row.name);
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(row.kind), 0);
        const char* texts[] = {row.payment, row.rate, row.balance, untouched, untouched};
        for (std::size_t i = 0; i < edits.size(); ++i)
            SendMessageW(edits[i], WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(toUtf16(texts[i]).c_str()));
        const wchar_t* caption = row.button == Button::Compute ? L"Compute" : L"Reset";
        for (int i = 0; i < row.presses; ++i)
            for (HWND button : children(window, "Button"))
                if (textOf(button) == caption)
                    CHECK(SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 15000, nullptr));
        std::vector<std::string> after;
        for (HWND edit : edits)
            after.push_back(toUtf8(textOf(edit)));
        wintest::checkOutcome(row, window, boxes.take(), after,
                              SendMessageW(list, CB_GETCURSEL, 0, 0));
    }
}

// One of the banner's drawings (ui/resources), brought to width x height
// pixels by Windows' imaging component; its pixels 0x00RRGGBB, top row first.
std::vector<DWORD> drawing(const std::string& name, UINT width, UINT height)
{
    std::vector<DWORD> pixels(std::size_t{width} * height);
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICBitmapScaler* scaler = nullptr;
    IWICFormatConverter* converter = nullptr;
    if (!CHECK(SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IWICImagingFactory,
                                          reinterpret_cast<void**>(&factory)))) ||
        !CHECK(SUCCEEDED(factory->CreateDecoderFromFilename(
            toUtf16(CORVATTA_RESOURCES + name).c_str(), nullptr, GENERIC_READ,
            WICDecodeMetadataCacheOnDemand, &decoder))) ||
        !CHECK(SUCCEEDED(decoder->GetFrame(0, &frame))) ||
        !CHECK(SUCCEEDED(factory->CreateBitmapScaler(&scaler))) ||
        !CHECK(
            SUCCEEDED(scaler->Initialize(frame, width, height, WICBitmapInterpolationModeFant))) ||
        !CHECK(SUCCEEDED(factory->CreateFormatConverter(&converter))) ||
        !CHECK(SUCCEEDED(converter->Initialize(scaler, GUID_WICPixelFormat32bppBGR,
                                               WICBitmapDitherTypeNone, nullptr, 0,
                                               WICBitmapPaletteTypeCustom))))
        pixels.clear();
    else
        CHECK(SUCCEEDED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                              reinterpret_cast<BYTE*>(pixels.data()))));
    for (IUnknown* object :
         std::initializer_list<IUnknown*>{converter, scaler, frame, decoder, factory})
        if (object)
            object->Release();
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// Which of the banner's two drawings the window shows: the screen's pixels of
// its picture against each drawing brought to the picture's size, the one
// they differ less from. At 144 dpi the 2x drawing brought down keeps the
// lettering's edges, where the 1x drawing enlarged blurs or blocks them.
std::string bannerDrawing(HWND window)
{
    HWND banner = nullptr;
    for (HWND c : children(window, "Static"))
        if ((GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            banner = c;
    if (!CHECK(banner))
        return "(no banner)";
    RedrawWindow(banner, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT place;
    GetWindowRect(banner, &place);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> shown(std::size_t(width * height));
    const HDC screen = GetDC(nullptr);
    const HDC copy = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
    SelectObject(copy, old);
    GetDIBits(copy, bitmap, 0, static_cast<UINT>(height), shown.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);

    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string nearest = "(neither)";
    long long least = -1;
    for (const char* name : {"banner.jpg", "banner@2x.jpg"}) {
        const std::vector<DWORD> pixels =
            drawing(name, static_cast<UINT>(width), static_cast<UINT>(height));
        if (pixels.size() != shown.size())
            continue;
        long long difference = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i)
            for (int shift = 0; shift < 24; shift += 8)
                difference +=
                    std::abs(int(pixels[i] >> shift & 0xFF) - int(shown[i] >> shift & 0xFF));
        if (least < 0 || difference < least) {
            least = difference;
            nearest = name;
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return nearest;
}

void runsAndCloses(const Scaled& scaled)
{
    TEST("starts with stray arguments");
    std::wstring commandLine = L"\"" + exe + L"\" --help /x -platform none";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CHECK(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process)))
        return;
    MessageBoxWatcher boxes(process.dwProcessId);
    const HWND window = waitForWindow(process.dwProcessId);
    if (CHECK(window)) {
        TEST("window");
        CHECK_EQ(toUtf8(textOf(window)), "Corvatta");
        RECT client;
        GetClientRect(window, &client);
        CHECK_EQ(client.right, scaled.client.cx);
        CHECK_EQ(client.bottom, scaled.client.cy);
        const LONG style = GetWindowLongW(window, GWL_STYLE);
        CHECK(!(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)));
        CHECK_EQ(boxes.take().size(), 0U);
        TEST("banner");
        CHECK_EQ(bannerDrawing(window), scaled.dpi == 96 ? "banner.jpg" : "banner@2x.jpg");

        // The boxes in the order they were made: Text1 to Text5.
        const std::vector<HWND> edits = children(window, "Edit");
        const std::vector<HWND> lists = children(window, "ComboBox");
        if (CHECK_EQ(edits.size(), 5U) && CHECK_EQ(lists.size(), 1U)) {
            TEST("Text1 in place");
            RECT text1;
            GetWindowRect(edits[0], &text1);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&text1), 2);
            CHECK_EQ(text1.left, scaled.text1.left);
            CHECK_EQ(text1.top, scaled.text1.top);
            CHECK_EQ(text1.right, scaled.text1.right);
            CHECK_EQ(text1.bottom, scaled.text1.bottom);
            CHECK_EQ(SendMessageW(lists[0], CB_GETCURSEL, 0, 0), 0); // "Fixed" once loaded
            behaviour(window, boxes);
        }

        TEST("closing the window ends the program");
        PostMessageW(window, WM_CLOSE, 0, 0);
        CHECK_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
        DWORD exitCode = 1;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CHECK_EQ(exitCode, 0UL);
    }
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace

// With "144", the screen is set to 144 dpi (at-dpi.sh) and only the window
// is checked.
int wmain(int argc, wchar_t** argv)
{
    // Measure in the screen's own pixels: Windows (and newer Wine) show a
    // program that is not dpi-aware every other window scaled down to 96 dpi.
    SetProcessDPIAware();
    if (argc > 1 && std::wstring(argv[1]) == L"144") {
        runsAndCloses(at144);
        return wintest::finish();
    }
    runsAndCloses(at96);
    return wintest::finish();
}
