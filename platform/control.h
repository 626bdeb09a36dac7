#pragma once

#include <array>
#include <string_view>

// The window's controls that the program reads, writes or gets events from.
enum class Control
{
    Text1,
    Text2,
    Text3,
    Text4,
    Text5,
    Combo1,
    Command1,
    Command2,
};

inline constexpr std::array<Control, 5> textBoxes{Control::Text1, Control::Text2, Control::Text3,
                                                  Control::Text4, Control::Text5};

constexpr std::string_view controlName(Control control)
{
    switch (control) {
    case Control::Text1:
        return "Text1";
    case Control::Text2:
        return "Text2";
    case Control::Text3:
        return "Text3";
    case Control::Text4:
        return "Text4";
    case Control::Text5:
        return "Text5";
    case Control::Combo1:
        return "Combo1";
    case Control::Command1:
        return "Command1";
    case Control::Command2:
        return "Command2";
    }
    return {};
}
