#pragma once

// The main window as data: every control's name, kind, place, text and tab
// stop, in twips (1440 to the inch, so 15 to a pixel at 96 dpi). The Qt, the
// Windows and the web builds all create their window from this one table.

#include <array>
#include <string_view>

namespace form1 {

// 15 twips make one pixel at 96 dpi; every figure below is a multiple of it.
inline constexpr int twipsPerPixel = 15;

struct Twips
{
    int left;
    int top;
    int width;
    int height;
};

enum class Kind
{
    Frame,        // a captioned group frame
    TextBox,      // one line, editable
    DropDownList, // offers its items only; nothing can be typed
    PushButton,   // plain, never the default or cancel button
    Label,        // wraps at words inside its fixed rectangle
    Image,        // the banner picture at its natural size
};

struct Font
{
    std::string_view family;
    int points;
    bool bold;
};

// The title's own font, in black; every other control uses the dialog font
// and colours.
inline constexpr Font titleFont{"MS Sans Serif", 18, true};

struct ControlSettings
{
    std::string_view name;
    Kind kind;
    bool inFrame; // placed in Frame1, from its outer top-left corner
    std::string_view caption;
    Twips rect;
    int tabIndex = -1; // -1: none
    std::array<std::string_view, 2> items{};
    // For a label: the control it names, which screen readers announce by it.
    std::string_view names{};
    const Font* font = nullptr; // nullptr: the dialog font
    // Spoken for a control that no label names.
    std::string_view accessibleName{};
    std::string_view accessibleDescription{};
};

struct WindowSettings
{
    std::string_view name;
    std::string_view caption;
    int clientWidth;
    int clientHeight;
};

inline constexpr WindowSettings window{"Form1", "Corvatta", 6495, 7335};

// Frame1's outer corner in the window's client area.
inline constexpr int frameLeft = 120;
inline constexpr int frameTop = 1920;

inline constexpr std::string_view description =
    "This Calculator can help you determine the amount of time it will take to pay off any given "
    "debt. It also will show you how much you end up actually paying in interest per month "
    "towards your overall debt. Disclaimer: This calculator is not intended to be advice from us "
    "in determining how to pay off ones debt. How much you put towards any debt you owe is a "
    "personal choice.";

// In the order the window holds them. Tab indices 0 to 16 are each used once;
// only boxes, the list and the buttons take the focus, so Tab visits Text1,
// Text2, Text3, Combo1, Command1, Command2, Text4, Text5. (Kept as a table,
// a control to a row or two, out of the formatter's reach.)
// clang-format off
inline constexpr std::array<ControlSettings, 18> controls{{
    {.name = "Frame1", .kind = Kind::Frame, .inFrame = false, .caption = "Corvatta ",
     .rect = {frameLeft, frameTop, 6255, 5295}, .tabIndex = 1},
    {.name = "Text1", .kind = Kind::TextBox, .inFrame = true, .caption = "",
     .rect = {3720, 1800, 2295, 285}, .tabIndex = 0},
    {.name = "Text2", .kind = Kind::TextBox, .inFrame = true, .caption = "",
     .rect = {3720, 2280, 2295, 285}, .tabIndex = 2},
    {.name = "Text3", .kind = Kind::TextBox, .inFrame = true, .caption = "",
     .rect = {3720, 2760, 2295, 285}, .tabIndex = 3},
    {.name = "Combo1", .kind = Kind::DropDownList, .inFrame = true, .caption = "",
     .rect = {3720, 3240, 2295, 315}, .tabIndex = 4, .items = {"Fixed", "Declining Minimum"}},
    {.name = "Command1", .kind = Kind::PushButton, .inFrame = true, .caption = "Compute",
     .rect = {3720, 3720, 855, 375}, .tabIndex = 5},
    {.name = "Command2", .kind = Kind::PushButton, .inFrame = true, .caption = "Reset",
     .rect = {5160, 3720, 855, 375}, .tabIndex = 6},
    {.name = "Text4", .kind = Kind::TextBox, .inFrame = true, .caption = "",
     .rect = {3720, 4320, 2295, 285}, .tabIndex = 7},
    {.name = "Text5", .kind = Kind::TextBox, .inFrame = true, .caption = "",
     .rect = {3720, 4800, 2295, 285}, .tabIndex = 9},
    {.name = "Label8", .kind = Kind::Label, .inFrame = true, .caption = description,
     .rect = {240, 360, 5775, 1095}, .tabIndex = 16},
    {.name = "Label6", .kind = Kind::Label, .inFrame = true,
     .caption = "Number of months to erase this debt :", .rect = {240, 4800, 2895, 315},
     .tabIndex = 14, .names = "Text5"},
    {.name = "Label3", .kind = Kind::Label, .inFrame = true,
     .caption = "Interest you pay every month :", .rect = {240, 4320, 3015, 195},
     .tabIndex = 13, .names = "Text4"},
    {.name = "Label5", .kind = Kind::Label, .inFrame = true,
     .caption = R"(Are you making "Fixed" or "Declining Minimum" payments ?)",
     .rect = {240, 3240, 3135, 435}, .tabIndex = 12, .names = "Combo1"},
    {.name = "Label4", .kind = Kind::Label, .inFrame = true,
     .caption = "What is your remaining principale balance ?", .rect = {240, 2760, 3255, 195},
     .tabIndex = 11, .names = "Text3"},
    {.name = "Label2", .kind = Kind::Label, .inFrame = true,
     .caption = "What percentage interest are you paying ?", .rect = {240, 2280, 3255, 195},
     .tabIndex = 10, .names = "Text2"},
    {.name = "Label1", .kind = Kind::Label, .inFrame = true,
     .caption = "What is your monthly payment ?", .rect = {240, 1800, 2970, 315}, .tabIndex = 8,
     .names = "Text1"},
    {.name = "Image1", .kind = Kind::Image, .inFrame = false, .caption = "",
     .rect = {840, 120, 4890, 540}, .accessibleName = "Corvatta",
     .accessibleDescription = "Banner: Corvatta, pay off your debt"},
    {.name = "Label7", .kind = Kind::Label, .inFrame = false, .caption = "Corvatta",
     .rect = {1320, 1200, 3975, 495}, .tabIndex = 15, .font = &titleFont},
}};
// clang-format on

constexpr bool takesFocus(Kind kind)
{
    return kind == Kind::TextBox || kind == Kind::DropDownList || kind == Kind::PushButton;
}

// The label that names a control, or nullptr.
constexpr const ControlSettings* labelFor(std::string_view name)
{
    for (const ControlSettings& c : controls)
        if (c.kind == Kind::Label && c.names == name)
            return &c;
    return nullptr;
}

// The controls that take the focus, in tab order.
constexpr auto tabStops()
{
    constexpr auto count = [] {
        std::size_t n = 0;
        for (const ControlSettings& c : controls)
            n += takesFocus(c.kind);
        return n;
    }();
    std::array<const ControlSettings*, count> stops{};
    std::size_t n = 0;
    for (int index = 0; index <= static_cast<int>(controls.size()); ++index)
        for (const ControlSettings& c : controls)
            if (takesFocus(c.kind) && c.tabIndex == index)
                stops[n++] = &c;
    return stops;
}

// Every edge falls on a whole pixel at 96 dpi, and each tab index is used
// by one control at most. (Indices rather than addresses: a sanitizer build
// cannot compare addresses at compile time.)
constexpr bool wellFormed()
{
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlSettings& c = controls[i];
        for (int figure : {c.rect.left, c.rect.top, c.rect.width, c.rect.height})
            if (figure % twipsPerPixel != 0)
                return false;
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            if (c.tabIndex >= 0 && controls[j].tabIndex == c.tabIndex)
                return false;
    }
    return true;
}
static_assert(wellFormed());

} // namespace form1
