#pragma once

// The main window as every build's tests expect to find it, in pixels at
// 96 dpi: the designed twips / 15. The Qt and Windows tests include this
// table; the web tests read it as layout.json, which web/tables_json.cpp
// writes from it at build time.

#include <stdexcept>
#include <string>
#include <string_view>

namespace layoutcases {

struct Rect
{
    int left;
    int top;
    int width;
    int height;
};

struct ControlCase
{
    const char* name;
    const char* qtClass;
    const char* windowsClass;
    bool inFrame;        // in Frame1: rect counts from the frame's outer corner
    const char* caption; // a list's items with "|" between; "" for boxes and the banner
    Rect rect;
    const char* names = ""; // for a label: the control it names
};

inline constexpr const char* title = "Corvatta";
// 6495 x 7335 twips.
inline constexpr int clientWidth = 433;
inline constexpr int clientHeight = 489;
// Frame1's outer corner in the client area: 120, 1920 twips.
inline constexpr int frameLeft = 8;
inline constexpr int frameTop = 128;
// Spoken for the banner, which no label names.
inline constexpr const char* bannerName = "Corvatta";

inline constexpr struct
{
    const char* family;
    int points;
    bool bold;
} titleFont{"MS Sans Serif", 18, true};

inline constexpr const char* description =
    "This Calculator can help you determine the amount of time it will take to pay off any given "
    "debt. It also will show you how much you end up actually paying in interest per month towards "
    "your overall debt. Disclaimer: This calculator is not intended to be advice from us in "
    "determining how to pay off ones debt. How much you put towards any debt you owe is a personal "
    "choice.";

// The controls Tab visits, from Text1.
inline constexpr const char* tabOrder[] = {"Text1",    "Text2",    "Text3", "Combo1",
                                           "Command1", "Command2", "Text4", "Text5"};

// In twips: Frame1 120, 1920, 6255 x 5295; the boxes at 3720 across, 2295 x
// 285 (the list 315 high), from 1800 down every 480 (Text4 at 4320, Text5 at
// 4800); the buttons at 3720 and 5160, 3720 down, 855 x 375; the question
// labels at 240 across beside their boxes; Label8 240, 360, 5775 x 1095;
// Image1 840, 120, 4890 x 540; Label7 1320, 1200, 3975 x 495.
// clang-format off
inline constexpr ControlCase controls[] = {
    {"Frame1", "QGroupBox", "Button", false, "Corvatta ", {8, 128, 417, 353}},
    {"Text1", "QLineEdit", "Edit", true, "", {248, 120, 153, 19}},
    {"Text2", "QLineEdit", "Edit", true, "", {248, 152, 153, 19}},
    {"Text3", "QLineEdit", "Edit", true, "", {248, 184, 153, 19}},
    {"Combo1", "QComboBox", "ComboBox", true, "Fixed|Declining Minimum", {248, 216, 153, 21}},
    {"Command1", "QPushButton", "Button", true, "Compute", {248, 248, 57, 25}},
    {"Command2", "QPushButton", "Button", true, "Reset", {344, 248, 57, 25}},
    {"Text4", "QLineEdit", "Edit", true, "", {248, 288, 153, 19}},
    {"Text5", "QLineEdit", "Edit", true, "", {248, 320, 153, 19}},
    {"Label8", "QLabel", "Static", true, description, {16, 24, 385, 73}},
    {"Label6", "QLabel", "Static", true, "Number of months to erase this debt :",
     {16, 320, 193, 21}, "Text5"},
    {"Label3", "QLabel", "Static", true, "Interest you pay every month :", {16, 288, 201, 13},
     "Text4"},
    {"Label5", "QLabel", "Static", true,
     "Are you making \"Fixed\" or \"Declining Minimum\" payments ?", {16, 216, 209, 29}, "Combo1"},
    {"Label4", "QLabel", "Static", true, "What is your remaining principale balance ?",
     {16, 184, 217, 13}, "Text3"},
    {"Label2", "QLabel", "Static", true, "What percentage interest are you paying ?",
     {16, 152, 217, 13}, "Text2"},
    {"Label1", "QLabel", "Static", true, "What is your monthly payment ?", {16, 120, 198, 21},
     "Text1"},
    {"Image1", "QLabel", "Static", false, "", {56, 8, 326, 36}},
    {"Label7", "QLabel", "Static", false, "Corvatta", {88, 80, 265, 33}},
};
// clang-format on

// A control's rectangle in the window's client area.
constexpr Rect inClientArea(const ControlCase& c)
{
    return c.inFrame
               ? Rect{c.rect.left + frameLeft, c.rect.top + frameTop, c.rect.width, c.rect.height}
               : c.rect;
}

inline const ControlCase& control(std::string_view name)
{
    for (const ControlCase& c : controls)
        if (name == c.name)
            return c;
    throw std::out_of_range(std::string(name));
}

} // namespace layoutcases
