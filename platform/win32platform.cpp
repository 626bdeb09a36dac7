#include "win32platform.h"

#include "utf16.h"

#include <commctrl.h>

#include <cassert>

namespace {

// Closing the window quits the message loop: no code of the program runs.
LRESULT CALLBACK quitOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

Win32Platform::Win32Platform(WindowFactory factory, std::wstring title, NumberFormat numbers)
    : SeparatorPlatform(std::move(numbers)), factory_(std::move(factory)), title_(std::move(title))
{
}

Win32Platform::~Win32Platform()
{
    if (IsWindow(window_.window))
        DestroyWindow(window_.window);
}

void Win32Platform::CreateMainWindow(const WindowEvents& events)
{
    window_ = factory_(events);
    // Win32 has no load event of its own: the platform raises it by calling
    // the bound handler between creation and showing.
    load_ = events.load;
    assert(window_.window);
}

void Win32Platform::RaiseLoad()
{
    if (load_)
        load_();
}

void Win32Platform::ShowMainWindow()
{
    // The place and the way to show the window are Windows' own choice.
    ShowWindow(window_.window, SW_SHOWDEFAULT);
    UpdateWindow(window_.window);
}

void Win32Platform::DeliverClick(Control button)
{
    // What a button sends its window when it is clicked.
    const HWND handle = control(button);
    SendMessageW(window_.window, WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(handle)), BN_CLICKED),
                 reinterpret_cast<LPARAM>(handle));
}

HWND Win32Platform::control(Control control) const
{
    return window_.controls[static_cast<std::size_t>(control)];
}

std::string Win32Platform::GetText(Control control) const
{
    const HWND handle = this->control(control);
    std::wstring text;
    if (control == Control::Combo1) {
        const LRESULT index = SendMessageW(handle, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR)
            return {};
        text.resize(static_cast<std::size_t>(
            SendMessageW(handle, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0)));
        SendMessageW(handle, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.data()));
    } else {
        text.resize(static_cast<std::size_t>(GetWindowTextLengthW(handle)));
        GetWindowTextW(handle, text.data(), static_cast<int>(text.size() + 1));
    }
    return toUtf8(text);
}

void Win32Platform::SetText(Control control, std::string_view text)
{
    SetWindowTextW(this->control(control), toUtf16(text).c_str());
}

void Win32Platform::SelectItem(Control control, int index)
{
    SendMessageW(this->control(control), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32Platform::ShowMessage(std::string_view text)
{
    MessageBoxW(window_.window, toUtf16(text).c_str(), title_.c_str(), MB_OK);
}

void Win32Platform::EndOnClose()
{
    SetWindowSubclass(window_.window, quitOnDestroy, 0, 0);
}

int Win32Platform::run()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        dispatch(message);
    return static_cast<int>(message.wParam);
}

void Win32Platform::dispatch(MSG& message)
{
    if (IsWindow(window_.window) && IsDialogMessageW(window_.window, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}
