#include "domplatform.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <utility>
#include <vector>

using emscripten::EM_VAL;
using emscripten::val;

namespace {

DomPlatform* instance = nullptr;

// The message box: a modal <dialog> with a title bar, the text and one OK
// button. Made once; the page behind it is inert while it is open.
// clang-format off
EM_JS(void, corvatta_make_message_box, (const char* title), {
    const dialog = document.createElement("dialog");
    dialog.id = "MessageBox";
    const bar = document.createElement("div");
    bar.id = "MessageBoxTitle";
    bar.className = "titlebar";
    bar.textContent = UTF8ToString(title);
    const text = document.createElement("p");
    text.id = "MessageBoxText";
    const ok = document.createElement("button");
    ok.type = "button";
    ok.textContent = "OK";
    ok.addEventListener("click", () => dialog.close());
    // As on the desktop, a click anywhere but on OK, the window behind
    // included, leaves the focus on OK, where Enter closes the box.
    dialog.addEventListener("mousedown", (event) => {
        if (event.target !== ok)
            event.preventDefault();
    });
    const buttons = document.createElement("div");
    buttons.className = "buttons";
    buttons.append(ok);
    dialog.append(bar, text, buttons);
    dialog.setAttribute("aria-labelledby", bar.id);
    dialog.setAttribute("aria-describedby", text.id);
    document.body.append(dialog);
});
// clang-format on

// Opens the box and suspends the calling C++ until it has been closed, by OK,
// Enter or Esc. What had the focus before gets it back.
// clang-format off
EM_ASYNC_JS(void, corvatta_message_box, (const char* text), {
    const dialog = document.getElementById("MessageBox");
    const before = document.activeElement;
    document.getElementById("MessageBoxText").textContent = UTF8ToString(text);
    await new Promise((resolve) => {
        dialog.addEventListener("close", resolve, {once : true});
        dialog.showModal();
        dialog.querySelector("button").focus();
    });
    if (before && before.focus)
        before.focus();
});
// clang-format on

// A click on a button calls the program through corvatta_click.
// clang-format off
EM_JS(void, corvatta_listen_for_clicks, (const char* id, int control), {
    document.getElementById(UTF8ToString(id))
        .addEventListener("click", () => Module["_corvatta_click"](control));
});
// clang-format on

// The window is ready: what the person did while the program was loading
// (early.js) takes effect now. A list keeps the item they picked, the focus
// stays where they put it, and a button they clicked is clicked again, as
// an event of its own once start-up is over.
// clang-format off
EM_JS(void, corvatta_window_ready, (EM_VAL window, EM_VAL focus), {
    const early = Module["early"] || {click : null, picks : []};
    Module["early"] = null;
    for (const pick of early.picks)
        document.getElementById(pick[0]).selectedIndex = pick[1];
    Emval.toValue(window).removeAttribute("aria-busy");
    if (!document.activeElement || document.activeElement === document.body)
        Emval.toValue(focus).focus();
    if (early.click) {
        const button = document.getElementById(early.click);
        setTimeout(() => button.click(), 0);
    }
});
// clang-format on

// The parts of a number written in a language's format by Intl: the
// language's own where it is a valid tag, else the browser's default format,
// else none.
// clang-format off
EM_JS(EM_VAL, corvatta_number_parts, (const char* language), {
    const sample = 123456789.5;
    const tag = UTF8ToString(language);
    for (const make of [() => new Intl.NumberFormat(tag), () => new Intl.NumberFormat()]) {
        try {
            return Emval.toHandle(make().formatToParts(sample));
        } catch (error) {
        }
    }
    return Emval.toHandle([]);
});
// clang-format on

// Characters, not bytes: some languages write their digits outside ASCII.
int characters(const std::string& text)
{
    int count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void corvatta_click(int control)
{
    if (instance)
        instance->DeliverClick(static_cast<Control>(control));
}

DomPlatform::DomPlatform(WindowFactory factory, std::string title, NumberFormat numbers)
    : SeparatorPlatform(std::move(numbers)), factory_(std::move(factory)), title_(std::move(title))
{
    instance = this;
}

void DomPlatform::CreateMainWindow(const WindowEvents& events)
{
    window_ = factory_();
    events_ = events;
    for (const Control button : {Control::Command1, Control::Command2})
        corvatta_listen_for_clicks(std::string(controlName(button)).c_str(),
                                   static_cast<int>(button));
    corvatta_make_message_box(title_.c_str());
}

void DomPlatform::RaiseLoad()
{
    if (events_.load)
        events_.load();
}

void DomPlatform::ShowMainWindow()
{
    // The page has shown the window since it was parsed.
    corvatta_window_ready(window_.window.as_handle(), window_.focus.as_handle());
}

void DomPlatform::DeliverClick(Control button)
{
    if (button == Control::Command1 && events_.computeClick)
        events_.computeClick();
    else if (button == Control::Command2 && events_.resetClick)
        events_.resetClick();
}

val DomPlatform::control(Control control) const
{
    return window_.controls[static_cast<std::size_t>(control)];
}

std::string DomPlatform::GetText(Control control) const
{
    const val element = this->control(control);
    if (control == Control::Combo1) {
        const int index = element["selectedIndex"].as<int>();
        if (index < 0)
            return {};
        return element["options"][index]["text"].as<std::string>();
    }
    return element["value"].as<std::string>();
}

void DomPlatform::SetText(Control control, std::string_view text)
{
    this->control(control).set("value", std::string(text));
}

void DomPlatform::SelectItem(Control control, int index)
{
    this->control(control).set("selectedIndex", index);
}

void DomPlatform::ShowMessage(std::string_view text)
{
    corvatta_message_box(std::string(text).c_str());
}

void DomPlatform::EndOnClose()
{
    // Closing the tab ends the page; none of the program's code runs.
}

std::string browserLanguage()
{
    const val language = val::global("navigator")["language"];
    return language.isString() ? language.as<std::string>() : std::string();
}

NumberFormat domNumberFormat(const std::string& language)
{
    // A number with three groups shows both group sizes: "123,456,789.5",
    // India's "12,34,56,789.5". The language is passed on explicitly: the
    // browser's default for Intl need not be the language it reports. A
    // language that is no valid tag ("C", "en_US") takes the browser's
    // default format; where even that fails, "1,234.5".
    const val parts = val::take_ownership(corvatta_number_parts(language.c_str()));
    NumberFormat format;
    std::vector<int> groups;
    const int count = parts["length"].as<int>();
    for (int i = 0; i < count; ++i) {
        const std::string type = parts[i]["type"].as<std::string>();
        const std::string value = parts[i]["value"].as<std::string>();
        if (type == "integer")
            groups.push_back(characters(value));
        else if (type == "group")
            format.groupSeparator = value;
        else if (type == "decimal")
            format.decimalPoint = value;
    }
    if (groups.size() >= 2)
        format.groupSize = groups.back();
    if (groups.size() >= 3)
        format.higherGroupSize = groups[groups.size() - 2];
    else
        format.higherGroupSize = format.groupSize;
    if (count == 0)
        format.groupSeparator = ",";
    else if (groups.size() < 2)
        format.groupSeparator.clear();
    return format;
}
