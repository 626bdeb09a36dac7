#pragma once

#include "separatorplatform.h"

#include <emscripten/val.h>

#include <array>
#include <functional>
#include <string>

// The main window as the browser platform sees it: the page's element for the
// window and the controls the program reads, writes or gets clicks from,
// indexed by Control.
struct DomWindow
{
    emscripten::val window = emscripten::val::null();
    std::array<emscripten::val, 8> controls{emscripten::val::null(), emscripten::val::null(),
                                            emscripten::val::null(), emscripten::val::null(),
                                            emscripten::val::null(), emscripten::val::null(),
                                            emscripten::val::null(), emscripten::val::null()};
    // The control that has the focus when the window is first shown.
    emscripten::val focus = emscripten::val::null();
};

// The platform on the browser's DOM: HTML controls, a modal <dialog> as the
// message box, and numbers in the format of the browser's language. The
// window comes from the factory it is given: the program's form, bound to
// the elements the page already holds. One instance serves the page; it
// lives until the page is closed.
class DomPlatform final : public SeparatorPlatform
{
public:
    using WindowFactory = std::function<DomWindow()>;

    DomPlatform(WindowFactory factory, std::string title, NumberFormat numbers);

    void CreateMainWindow(const WindowEvents& events) override;
    void RaiseLoad() override;
    void ShowMainWindow() override;
    void DeliverClick(Control button) override;

    std::string GetText(Control control) const override;
    void SetText(Control control, std::string_view text) override;
    void SelectItem(Control control, int index) override;

    void ShowMessage(std::string_view text) override;

    void EndOnClose() override;

private:
    emscripten::val control(Control control) const;

    WindowFactory factory_;
    std::string title_;
    DomWindow window_;
    WindowEvents events_;
};

// The decimal point, group separator and group sizes of a language
// ("de-DE"), as the browser's Intl.NumberFormat writes numbers in it.
NumberFormat domNumberFormat(const std::string& language);

// The language the browser reports for its user (navigator.language).
std::string browserLanguage();
