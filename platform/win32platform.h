#pragma once

#include "separatorplatform.h"

#include <windows.h>

#include <array>
#include <functional>
#include <string>

// The main window as the Win32 platform sees it: the top-level window and the
// controls the program reads, writes or gets clicks from, indexed by Control.
struct Win32Window
{
    HWND window = nullptr;
    std::array<HWND, 8> controls{};
};

// The platform on the Win32 API: standard controls, MessageBoxW, and numbers
// in the user's regional format. The window itself is built by the factory it
// is given (the program's form). Everything runs on the thread that made it.
class Win32Platform final : public SeparatorPlatform
{
public:
    using WindowFactory = std::function<Win32Window(const WindowEvents&)>;

    Win32Platform(WindowFactory factory, std::wstring title, NumberFormat numbers);
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    void CreateMainWindow(const WindowEvents& events) override;
    void RaiseLoad() override;
    void ShowMainWindow() override;
    void DeliverClick(Control button) override;

    std::string GetText(Control control) const override;
    void SetText(Control control, std::string_view text) override;
    void SelectItem(Control control, int index) override;

    void ShowMessage(std::string_view text) override;

    void EndOnClose() override;

    // Runs the window's messages until the program ends; returns the exit
    // code that ended it.
    int run();
    // One message: the keyboard's dialog keys (Tab, Shift+Tab, arrows) first,
    // then the window. Tests pump their messages through it too.
    void dispatch(MSG& message);

    HWND window() const { return window_.window; }
    HWND control(Control control) const;

private:
    WindowFactory factory_;
    std::wstring title_;
    Win32Window window_;
    std::function<void()> load_;
};
