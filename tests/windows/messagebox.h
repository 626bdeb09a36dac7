#pragma once

// A message box as the user sees it: read in this process or in the program
// under test, then closed with its OK button.

#include "utf16.h"

#include <windows.h>

#include <string>

namespace wintest {

// WM_GETTEXT reaches into another process's controls; GetWindowText would not.
inline std::string windowText(HWND window)
{
    wchar_t text[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return toUtf8(text);
}

inline std::string windowClass(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return toUtf8(name);
}

struct SeenMessage
{
    std::string title;
    std::string text;
    HWND owner;
    int buttons;
    bool icon;
    std::string results; // Text4 and Text5 behind the box, as "Text4|Text5"
};

inline bool isMessageBox(HWND window)
{
    return windowClass(window) == "#32770" && IsWindowVisible(window);
}

inline SeenMessage readMessageBox(HWND box)
{
    // The message itself is the static control with id 0xFFFF.
    SeenMessage message{windowText(box),
                        windowText(GetDlgItem(box, 0xFFFF)),
                        GetWindow(box, GW_OWNER),
                        0,
                        false,
                        {}};
    // The window's edit boxes in the order they were made: Text1 to Text5.
    int edit = 0;
    for (HWND c = GetWindow(message.owner, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (windowClass(c) != "Edit" || ++edit < 4)
            continue;
        message.results += (edit == 5 ? "|" : "") + windowText(c);
    }
    EnumChildWindows(
        box,
        [](HWND child, LPARAM found) -> BOOL {
            auto* m = reinterpret_cast<SeenMessage*>(found);
            const LONG style = GetWindowLongW(child, GWL_STYLE);
            if (!IsWindowVisible(child))
                return TRUE;
            if (windowClass(child) == "Button")
                ++m->buttons;
            if (windowClass(child) == "Static" && (style & SS_TYPEMASK) == SS_ICON &&
                SendMessageW(child, STM_GETICON, 0, 0))
                m->icon = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&message));
    return message;
}

inline void pressOk(HWND box)
{
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

} // namespace wintest
