// Writes the web page's window from the layout table, at build time, so that
// the browser paints it before the program has loaded:
//   form1_html INDEX_TEMPLATE STYLE_TEMPLATE OUT_FOLDER
// fills @WINDOW@ and @DESCRIPTION@ of the page and @OUTER_WIDTH@, @LAYOUT@
// and @FONTS@ of the style sheet, into OUT_FOLDER/index.html and OUT_FOLDER/corvatta.css.
//
// The elements stand in the order a person reads the window, each label just
// before the control it names, so that Tab follows the document (no
// tabindex). On a screen as wide as the window every control is placed at its
// rectangle; on a narrower one the style sheet flows them in one column.

#include "form1layout.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using form1::ControlSettings;
using form1::Kind;

namespace {

constexpr int t = form1::twipsPerPixel;
// The window's border, around its client area.
constexpr int borderPx = 1;
// The boxes the calculator reads numbers from: phones offer a number pad.
constexpr std::array<std::string_view, 3> numberInputs{"Text1", "Text2", "Text3"};

std::string escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string attribute(std::string_view name, std::string_view value)
{
    return " " + std::string(name) + "=\"" + escaped(value) + "\"";
}

std::string px(int twips)
{
    return std::to_string(twips / t) + "px";
}

bool isNumberInput(std::string_view name)
{
    return std::find(numberInputs.begin(), numberInputs.end(), name) != numberInputs.end();
}

std::string element(const ControlSettings& c)
{
    const std::string common = attribute("id", c.name) + attribute("class", "control");
    switch (c.kind) {
    case Kind::Frame:
        return "<fieldset" + common + "><legend>" + escaped(c.caption) + "</legend>";
    case Kind::TextBox:
        return "<input" + common + attribute("type", "text") + attribute("autocomplete", "off") +
               attribute("spellcheck", "false") +
               (isNumberInput(c.name) ? attribute("inputmode", "decimal") : "") + ">";
    case Kind::DropDownList: {
        std::string html = "<select" + common + ">";
        for (const std::string_view item : c.items)
            html += "<option>" + escaped(item) + "</option>";
        return html + "</select>";
    }
    case Kind::PushButton:
        return "<button" + common + attribute("type", "button") + ">" + escaped(c.caption) +
               "</button>";
    case Kind::Label: {
        // The title is the page's heading; a label that names a box is its
        // <label>; any other is a paragraph.
        const std::string tag = c.font ? "h1" : c.names.empty() ? "p" : "label";
        return "<" + tag + common + (c.names.empty() ? "" : attribute("for", c.names)) + ">" +
               escaped(c.caption) + "</" + tag + ">";
    }
    case Kind::Image:
        return "<img" + common + attribute("src", "banner.jpg") +
               attribute("srcset", "banner@2x.jpg 2x") +
               attribute("width", std::to_string(c.rect.width / t)) +
               attribute("height", std::to_string(c.rect.height / t)) +
               attribute("alt", c.accessibleName) +
               attribute("aria-description", c.accessibleDescription) + ">";
    }
    return {};
}

// The controls of one container in reading order: by top, then by left.
std::vector<const ControlSettings*> readingOrder(bool inFrame)
{
    std::vector<const ControlSettings*> list;
    for (const ControlSettings& c : form1::controls)
        if (c.inFrame == inFrame)
            list.push_back(&c);
    std::stable_sort(list.begin(), list.end(), [](const auto* a, const auto* b) {
        return a->rect.top != b->rect.top ? a->rect.top < b->rect.top : a->rect.left < b->rect.left;
    });
    return list;
}

// Fails when reading order would not give the table's tab order, or would
// part a label from the control it names.
bool checkOrder(const std::vector<const ControlSettings*>& document)
{
    std::vector<const ControlSettings*> focusable;
    for (std::size_t i = 0; i < document.size(); ++i) {
        const ControlSettings& c = *document[i];
        if (form1::takesFocus(c.kind))
            focusable.push_back(&c);
        if (!c.names.empty() && (i + 1 == document.size() || document[i + 1]->name != c.names)) {
            std::cerr << c.name << " does not stand just before " << c.names << "\n";
            return false;
        }
    }
    const auto stops = form1::tabStops();
    if (!std::equal(focusable.begin(), focusable.end(), stops.begin(), stops.end())) {
        std::cerr << "the window's reading order is not its tab order\n";
        return false;
    }
    return true;
}

std::string rule(const ControlSettings& c, int dx, int dy)
{
    return "    #" + std::string(c.name) + " { left: " + px(c.rect.left + dx) +
           "; top: " + px(c.rect.top + dy) + "; width: " + px(c.rect.width) +
           "; height: " + px(c.rect.height) + "; }\n";
}

std::string markup(std::vector<const ControlSettings*>& document)
{
    std::string html;
    html += "<main" + attribute("id", form1::window.name) + attribute("class", "window") +
            attribute("aria-label", form1::window.caption) + attribute("aria-busy", "true") + ">\n";
    html += "<div class=\"titlebar\"><img src=\"favicon.ico\" alt=\"\" width=\"16\" "
            "height=\"16\"><span>" +
            escaped(form1::window.caption) + "</span></div>\n";
    html += "<div class=\"client\">\n";
    for (const ControlSettings* c : readingOrder(false)) {
        html += element(*c) + "\n";
        document.push_back(c);
        if (c->kind != Kind::Frame)
            continue;
        for (const ControlSettings* inner : readingOrder(true)) {
            html += element(*inner) + "\n";
            document.push_back(inner);
        }
        html += "</fieldset>\n";
    }
    return html + "</div>\n</main>";
}

// The rectangles, in CSS pixels of the client area; the frame's controls are
// placed from the client area too, so no browser's way of drawing a frame's
// caption can move them.
std::string layout()
{
    std::string css;
    css += "    .client { width: " + px(form1::window.clientWidth) +
           "; height: " + px(form1::window.clientHeight) + "; }\n";
    css += "    .window { border-width: " + std::to_string(borderPx) + "px; }\n";
    for (const ControlSettings& c : form1::controls) {
        if (c.kind == Kind::Frame)
            css += "    #" + std::string(c.name) + " { margin: " + px(c.rect.top) + " 0 0 " +
                   px(c.rect.left) + "; width: " + px(c.rect.width) +
                   "; height: " + px(c.rect.height) + "; }\n";
        else if (c.inFrame)
            css += rule(c, form1::frameLeft, form1::frameTop);
        else
            css += rule(c, 0, 0);
    }
    return css;
}

// A control's own font, in either layout.
std::string fonts()
{
    std::string css;
    for (const ControlSettings& c : form1::controls)
        if (c.font)
            css += "#" + std::string(c.name) + " { font: " + (c.font->bold ? "bold " : "") +
                   std::to_string(c.font->points) + "pt \"" + std::string(c.font->family) +
                   "\", sans-serif; color: #000; }\n";
    return css;
}

bool replace(std::string& text, std::string_view placeholder, const std::string& value)
{
    bool found = false;
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
        found = true;
    }
    if (!found)
        std::cerr << "no " << placeholder << " in the template\n";
    return found;
}

bool read(const char* path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << file.rdbuf();
    text = buffer.str();
    if (!file)
        std::cerr << "cannot read " << path << "\n";
    return static_cast<bool>(file);
}

bool write(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file)
        std::cerr << "cannot write " << path << "\n";
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: form1_html INDEX_TEMPLATE STYLE_TEMPLATE OUT_FOLDER\n";
        return 2;
    }
    std::string page;
    std::string style;
    if (!read(argv[1], page) || !read(argv[2], style))
        return 1;
    std::vector<const ControlSettings*> document;
    const std::string window = markup(document);
    if (!checkOrder(document))
        return 1;
    const std::string outerWidth = std::to_string(form1::window.clientWidth / t + 2 * borderPx);
    const std::string folder = argv[3];
    const bool filled = replace(page, "@WINDOW@", window) &&
                        replace(page, "@DESCRIPTION@", escaped(form1::description)) &&
                        replace(style, "@OUTER_WIDTH@", outerWidth) &&
                        replace(style, "@LAYOUT@", layout()) && replace(style, "@FONTS@", fonts());
    return filled && write(folder + "/index.html", page) && write(folder + "/corvatta.css", style)
               ? 0
               : 1;
}
