#include "form1_dom.h"

#include "form1layout.h"

#include <emscripten/val.h>

#include <string>
#include <string_view>

using emscripten::val;

DomWindow bindForm1Dom()
{
    const val document = val::global("document");
    const auto byId = [&document](std::string_view name) {
        return document.call<val>("getElementById", std::string(name));
    };
    DomWindow result;
    result.window = byId(form1::window.name);
    for (std::size_t c = 0; c < result.controls.size(); ++c)
        result.controls[c] = byId(controlName(static_cast<Control>(c)));
    for (const form1::ControlSettings& settings : form1::controls)
        if (settings.kind == form1::Kind::DropDownList)
            byId(settings.name).set("selectedIndex", -1);
    result.focus = byId(form1::tabStops().front()->name);
    return result;
}
