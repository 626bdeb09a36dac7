// Corvatta.exe as a user starts it: with stray arguments, one window of the
// right size and frame, a computation through its controls, closed by its
// Close button.
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

const std::string& limit = wintest::limitMessage;

// Types the three inputs and presses "Compute"; the boxes it showed, and the
// two results, must be these.
void compute(HWND window, MessageBoxWatcher& boxes, const std::vector<std::wstring>& inputs,
             const std::vector<std::string>& messages, const char* average, const char* months)
{
    const std::vector<HWND> edits = children(window, "Edit");
    for (std::size_t i = 0; i < inputs.size(); ++i)
        SendMessageW(edits[i], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(inputs[i].c_str()));
    for (HWND button : children(window, "Button"))
        if (textOf(button) == L"Compute")
            CHECK(SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 15000, nullptr));
    const std::vector<SeenMessage> seen = boxes.take();
    // An unexpected box fails here, named by its text.
    for (std::size_t i = 0; i < seen.size() || i < messages.size(); ++i) {
        const std::string shown = i < seen.size() ? seen[i].text : "(no box)";
        const std::string expected = i < messages.size() ? messages[i] : "(no box)";
        CHECK_EQ(shown, expected);
        if (i < seen.size() && i < messages.size()) {
            CHECK_EQ(seen[i].title, "Corvatta");
            CHECK(seen[i].owner == window);
            CHECK_EQ(seen[i].buttons, 1);
            CHECK(!seen[i].icon);
        }
    }
    CHECK_EQ(toUtf8(textOf(edits[3])), average);
    CHECK_EQ(toUtf8(textOf(edits[4])), months);
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

            // 91.6226880636784 of interest over 11 months (the worked example).
            TEST("a computation through the controls");
            compute(window, boxes, {L"100", L"18", L"1000"}, {}, "$8.32933527851622", "11");
            // 10 a month never covers the first month's 15 of interest
            // (1000 x 0.18 / 12), so each of the two runs passes the limit.
            TEST("past the 600-month limit: two message boxes");
            compute(window, boxes, {L"10", L"18", L"1000"}, {limit, limit}, "$0", "601");
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
