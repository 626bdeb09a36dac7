// Corvatta.exe as a user starts it: with stray arguments, one window of the
// right size and frame, the behaviour table through its controls, closed by
// its Close button; and its icon and version details as Windows reads them.
#include "behaviour.h"
#include "messagebox.h"
#include "utf16.h"
#include "wintest.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <iterator>
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

std::string versionString(const std::vector<BYTE>& info, const wchar_t* name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040C04B0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0)
        return "(none)";
    return toUtf8(static_cast<const wchar_t*>(value));
}

void versionInformation()
{
    TEST("version information");
    std::vector<BYTE> info(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    if (!CHECK(!info.empty()) ||
        !CHECK(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data())))
        return;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (CHECK(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length))) {
        CHECK_EQ(fixed->dwFileVersionMS, 0x00010000UL); // 1.0
        CHECK_EQ(fixed->dwFileVersionLS, 0UL);          // .0.0
        CHECK_EQ(fixed->dwProductVersionMS, 0x00010000UL);
        CHECK_EQ(fixed->dwProductVersionLS, 0UL);
        CHECK_EQ(fixed->dwFileOS, 4UL);   // 32-bit Windows
        CHECK_EQ(fixed->dwFileType, 1UL); // an application
        CHECK_EQ(fixed->dwFileFlags, 0UL);
    }
    WORD* translation = nullptr;
    if (CHECK(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length))) {
        CHECK_EQ(length, 4U);
        CHECK_EQ(translation[0], 0x040C); // French (France)
        CHECK_EQ(translation[1], 1200);   // UTF-16
    }
    CHECK_EQ(versionString(info, L"ProductName"), "Corvatta");
    CHECK_EQ(versionString(info, L"FileVersion"), "1.00");
    CHECK_EQ(versionString(info, L"ProductVersion"), "1.00");
    CHECK_EQ(versionString(info, L"InternalName"), "Corvatta");
    CHECK_EQ(versionString(info, L"OriginalFilename"), "Corvatta.exe");
    CHECK_EQ(versionString(info, L"CompanyName"), "(none)");
    CHECK_EQ(versionString(info, L"FileDescription"), "(none)");
}

void iconAndManifest()
{
    TEST("icon");
    const HMODULE file = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!CHECK(file))
        return;
    const auto bytesOf = [file](HRSRC resource) {
        const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(file, resource)));
        return std::vector<BYTE>(data, data + SizeofResource(file, resource));
    };
    const HRSRC group = FindResourceExW(file, MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(1),
                                        MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH));
    if (CHECK(group)) {
        std::vector<BYTE> directory = bytesOf(group);
        CHECK_EQ(LookupIconIdFromDirectoryEx(directory.data(), TRUE, 32, 32, LR_DEFAULTCOLOR),
                 30001);
        const HRSRC image = FindResourceW(file, MAKEINTRESOURCEW(30001), MAKEINTRESOURCEW(3));
        if (CHECK(image)) {
            std::vector<BYTE> bytes = bytesOf(image);
            // The window icon's one image, after the .ico's 22-byte header.
            std::ifstream ico(CORVATTA_ICO, std::ios::binary);
            std::vector<BYTE> expected((std::istreambuf_iterator<char>(ico)),
                                       std::istreambuf_iterator<char>());
            CHECK_EQ(bytes.size(), 2216U);
            CHECK(expected.size() == 22 + 2216 &&
                  std::equal(bytes.begin(), bytes.end(), expected.begin() + 22));
            const HICON icon =
                CreateIconFromResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), TRUE,
                                         0x00030000, 32, 32, LR_DEFAULTCOLOR);
            CHECK(icon);
            DestroyIcon(icon);
        }
    }

    TEST("manifest");
    const HRSRC manifest = FindResourceW(file, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (CHECK(manifest)) {
        const std::vector<BYTE> bytes = bytesOf(manifest);
        const std::string text(bytes.begin(), bytes.end());
        CHECK(text.find("Microsoft.Windows.Common-Controls") != std::string::npos);
        CHECK(text.find("<dpiAware") != std::string::npos);
        CHECK(text.find("supportedOS") != std::string::npos);
    }
    FreeLibrary(file);
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
    versionInformation();
    iconAndManifest();
    return wintest::finish();
}
