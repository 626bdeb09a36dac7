#pragma once

#include "control.h"
#include "numbertext.h"

#include <functional>
#include <string>
#include <string_view>

// The handlers bound to the window's three events when it is created.
struct WindowEvents
{
    std::function<void()> load;
    std::function<void()> computeClick;
    std::function<void()> resetClick;
};

// Everything the program needs from its surroundings: the window and its
// controls, the message box and the number conversions. The calculation and
// the handlers see nothing else, so they run unchanged against the real
// toolkit or against an in-memory stand-in. Texts are UTF-8.
class Platform
{
public:
    virtual ~Platform() = default;

    // Builds the window with all its controls: text boxes empty, Combo1
    // without a selection, and the three handlers bound.
    virtual void CreateMainWindow(const WindowEvents& events) = 0;
    // Runs the load handler, once, before the window is first shown.
    virtual void RaiseLoad() = 0;
    virtual void ShowMainWindow() = 0;
    // A click on Command1 or Command2, run to its end before returning.
    virtual void DeliverClick(Control button) = 0;

    // The whole text of a box; for Combo1 the selected item (empty if none).
    virtual std::string GetText(Control control) const = 0;
    virtual void SetText(Control control, std::string_view text) = 0;
    virtual void SelectItem(Control control, int index) = 0;

    // A modal box with the text, one OK button, no icon and the application
    // title; returns when the user has closed it.
    virtual void ShowMessage(std::string_view text) = 0;

    // Reads a number in the user's regional format; throws RuntimeError for
    // anything that is not a finite double.
    virtual double TextToDouble(std::string_view text) const = 0;
    // At most 15 significant digits, no grouping, the regional separator.
    virtual std::string NumberToText(double value) const = 0;
    // Plain decimal digits.
    virtual std::string NumberToText(MonthCount value) const = 0;

    // Closing the only window ends the program, running none of its code.
    virtual void EndOnClose() = 0;
};
