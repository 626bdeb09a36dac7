#include "form1_dom.h"

#include "form1layout.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <array>
#include <cmath>
#include <string>
#include <string_view>

using emscripten::val;
using form1::Kind;

namespace {

// The title bar above the client area, and the icon in it, in CSS pixels.
constexpr int titleBarHeight = 22;
constexpr int titleIconSize = 16;

// The three boxes the calculator reads: phones offer a number pad for them.
constexpr std::array<std::string_view, 3> numberInputs{"Text1", "Text2", "Text3"};

std::string px(int pixels)
{
    return std::to_string(pixels) + "px";
}

val element(const char* tag)
{
    return val::global("document").call<val>("createElement", std::string(tag));
}

void setStyle(const val& node, const char* property, const std::string& value)
{
    node["style"].set(property, value);
}

// Puts an element at a rectangle of its container, in CSS pixels: the box
// includes its border, and no margin or padding moves it.
void place(const val& node, int left, int top, int width, int height)
{
    setStyle(node, "position", "absolute");
    setStyle(node, "boxSizing", "border-box");
    setStyle(node, "margin", "0");
    setStyle(node, "left", px(left));
    setStyle(node, "top", px(top));
    setStyle(node, "width", px(width));
    setStyle(node, "height", px(height));
}

void place(const val& node, const form1::Twips& rect, int dx = 0, int dy = 0)
{
    constexpr int t = form1::twipsPerPixel;
    place(node, rect.left / t - dx, rect.top / t - dy, rect.width / t, rect.height / t);
}

val createControl(const form1::ControlSettings& settings)
{
    const std::string caption(settings.caption);
    val node = val::null();
    switch (settings.kind) {
    case Kind::Frame: {
        node = element("fieldset");
        setStyle(node, "padding", "0");
        setStyle(node, "minInlineSize", "0");
        val legend = element("legend");
        legend.set("textContent", caption);
        node.call<void>("append", legend);
        break;
    }
    case Kind::TextBox: {
        node = element("input");
        node.set("type", std::string("text"));
        node.set("autocomplete", std::string("off"));
        node.set("spellcheck", false);
        for (const std::string_view name : numberInputs)
            if (name == settings.name)
                node.call<void>("setAttribute", std::string("inputmode"), std::string("decimal"));
        break;
    }
    case Kind::DropDownList:
        node = element("select");
        for (const std::string_view item : settings.items) {
            val option = element("option");
            option.set("textContent", std::string(item));
            node.call<void>("append", option);
        }
        // No item is selected until the window is loaded.
        node.set("selectedIndex", -1);
        break;
    case Kind::PushButton:
        node = element("button");
        node.set("type", std::string("button"));
        node.set("textContent", caption);
        break;
    case Kind::Label:
        node = element("label");
        node.set("textContent", caption);
        if (!settings.names.empty())
            node.set("htmlFor", std::string(settings.names));
        setStyle(node, "overflow", "hidden");
        if (settings.font) {
            setStyle(node, "fontFamily",
                     "\"" + std::string(settings.font->family) + "\", sans-serif");
            setStyle(node, "fontSize", std::to_string(settings.font->points) + "pt");
            setStyle(node, "fontWeight", settings.font->bold ? "bold" : "normal");
            setStyle(node, "color", "black");
        }
        break;
    case Kind::Image:
        node = element("img");
        node.set("src", std::string("banner.jpg"));
        node.set("alt", std::string(settings.accessibleName));
        node.call<void>("setAttribute", std::string("aria-description"),
                        std::string(settings.accessibleDescription));
        break;
    }
    node.set("id", std::string(settings.name));
    node["classList"].call<void>("add", std::string("control"));
    return node;
}

// Centres the window on the page and, where the page is narrower than the
// window, scales it down as a whole, again at every change of the page's
// size.
// clang-format off
EM_JS(void, corvatta_fit_to_page, (const char* id), {
    const window_ = document.getElementById(UTF8ToString(id));
    const fit = () =>
    {
        const width = window_.offsetWidth;
        const height = window_.offsetHeight;
        const scale = Math.min(1, document.documentElement.clientWidth / width);
        window_.style.transformOrigin = "0 0";
        window_.style.transform = scale < 1 ? "scale(" + scale + ")" : "";
        window_.style.left =
            Math.max(0, (document.documentElement.clientWidth - width * scale) / 2) + "px";
        window_.style.top = Math.max(0, (window.innerHeight - height * scale) / 2) + "px";
    };
    window.addEventListener("resize", fit);
    fit();
});
// clang-format on

// On the desktop only Space presses a focused button: Enter does nothing
// there, nor anywhere else in the window.
// clang-format off
EM_JS(void, corvatta_ignore_enter, (const char* id), {
    document.getElementById(UTF8ToString(id))
        .addEventListener(
            "keydown", (event) => {
                if (event.key == "Enter" && event.target.tagName == "BUTTON")
                    event.preventDefault();
            });
});
// clang-format on

} // namespace

DomWindow createForm1Dom()
{
    constexpr int t = form1::twipsPerPixel;
    const val document = val::global("document");
    DomWindow result;

    // The window: a title bar with the icon and the caption, over the client
    // area that holds the controls.
    val window = element("div");
    window.set("id", std::string(form1::window.name));
    window["classList"].call<void>("add", std::string("window"));
    window.call<void>("setAttribute", std::string("role"), std::string("main"));
    window.call<void>("setAttribute", std::string("aria-label"),
                      std::string(form1::window.caption));
    setStyle(window, "position", "absolute");
    setStyle(window, "visibility", "hidden");
    val bar = element("div");
    bar["classList"].call<void>("add", std::string("titlebar"));
    setStyle(bar, "position", "relative");
    setStyle(bar, "height", px(titleBarHeight));
    val icon = element("img");
    icon.set("src", std::string("favicon.ico"));
    icon.set("alt", std::string(""));
    place(icon, (titleBarHeight - titleIconSize) / 2, (titleBarHeight - titleIconSize) / 2,
          titleIconSize, titleIconSize);
    val caption = element("span");
    caption.set("textContent", std::string(form1::window.caption));
    place(caption, titleBarHeight, 0, form1::window.clientWidth / t - titleBarHeight,
          titleBarHeight);
    setStyle(caption, "lineHeight", px(titleBarHeight));
    bar.call<void>("append", icon, caption);
    val client = element("div");
    client["classList"].call<void>("add", std::string("client"));
    setStyle(client, "position", "relative");
    setStyle(client, "width", px(form1::window.clientWidth / t));
    setStyle(client, "height", px(form1::window.clientHeight / t));
    window.call<void>("append", bar, client);
    document["body"].call<void>("append", window);

    val frame = val::null();
    for (const form1::ControlSettings& settings : form1::controls) {
        val node = createControl(settings);
        if (settings.kind == Kind::Frame) {
            place(node, settings.rect);
            client.call<void>("append", node);
            frame = node;
        } else if (settings.inFrame) {
            frame.call<void>("append", node);
        } else {
            place(node, settings.rect);
            client.call<void>("append", node);
        }
        const auto& stops = form1::tabStops();
        for (std::size_t i = 0; i < stops.size(); ++i)
            if (stops[i] == &settings)
                node.set("tabIndex", static_cast<int>(i) + 1);
        for (std::size_t c = 0; c < result.controls.size(); ++c)
            if (controlName(static_cast<Control>(c)) == settings.name)
                result.controls[c] = node;
    }

    // The frame's controls count from its outer corner; the browser places
    // them from inside its border and below its caption. Measure by how much.
    const val frameBox = frame.call<val>("getBoundingClientRect");
    val probe = element("div");
    place(probe, 0, 0, 0, 0);
    frame.call<void>("append", probe);
    const val probeBox = probe.call<val>("getBoundingClientRect");
    const auto dx = static_cast<int>(
        std::lround(probeBox["left"].as<double>() - frameBox["left"].as<double>()));
    const auto dy =
        static_cast<int>(std::lround(probeBox["top"].as<double>() - frameBox["top"].as<double>()));
    probe.call<void>("remove");
    for (const form1::ControlSettings& settings : form1::controls)
        if (settings.inFrame)
            place(document.call<val>("getElementById", std::string(settings.name)), settings.rect,
                  dx, dy);

    corvatta_fit_to_page(std::string(form1::window.name).c_str());
    corvatta_ignore_enter(std::string(form1::window.name).c_str());
    result.window = window;
    result.focus =
        document.call<val>("getElementById", std::string(form1::tabStops().front()->name));
    return result;
}
