// The shared table of number conversions, run in the browser through the
// page's own platform: the separators and group sizes come from Intl, in
// each case's language as the browser would report it. Writes one line per
// case into window.numberResults, "PASS name" or "FAIL name: why", for
// test_page.py to read.
#include "domplatform.h"
#include "numbercases.h"
#include "runtimeerror.h"

#include <emscripten/val.h>

#include <string>

namespace {

std::string check(const DomPlatform& platform, const ReadCase& c)
{
    try {
        const double value = platform.TextToDouble(c.text);
        if (!c.readable || value != c.value)
            return "read as " + platform.NumberToText(value);
    } catch (const RuntimeError&) {
        if (c.readable)
            return "not read";
    }
    return {};
}

std::string check(const DomPlatform& platform, const WriteCase& c)
{
    const std::string text = platform.NumberToText(c.value);
    return text == c.text ? std::string() : "written as " + text;
}

} // namespace

int main()
{
    const char* const languages[] = {"en-US", "de-DE", "en-IN"};
    std::string report;
    const auto add = [&](const auto& cases) {
        for (const auto& c : cases) {
            const DomPlatform platform([] { return DomWindow{}; }, "Corvatta",
                                       domNumberFormat(languages[static_cast<int>(c.region)]));
            const std::string failure = check(platform, c);
            report += (failure.empty() ? "PASS " : "FAIL ") + std::string(c.name) +
                      (failure.empty() ? "" : ": " + failure) + "\n";
        }
    };
    add(readCases);
    add(writeCases);
    // A language that is no valid tag reads and writes numbers as the
    // browser's default format does: its decimal point and its separator
    // between thousands, as Intl writes 1234.5 with no language given.
    const emscripten::val parts =
        emscripten::val::global("Intl")["NumberFormat"].new_().call<emscripten::val>(
            "formatToParts", 1234.5);
    std::string point;
    std::string group;
    for (int i = 0; i < parts["length"].as<int>(); ++i) {
        const std::string type = parts[i]["type"].as<std::string>();
        if (type == "decimal")
            point = parts[i]["value"].as<std::string>();
        else if (type == "group")
            group = parts[i]["value"].as<std::string>();
    }
    for (const char* invalid : {"C", "", "en_US", "x"}) {
        const NumberFormat format = domNumberFormat(invalid);
        const bool same = format.decimalPoint == point && format.groupSeparator == group;
        report +=
            (same ? "PASS" : "FAIL") + std::string(" language \"") + invalid +
            "\" takes the default format" +
            (same ? ""
                  : ": \"" + format.decimalPoint + "\" and \"" + format.groupSeparator + "\"") +
            "\n";
    }
    emscripten::val::global("window").set("numberResults", report);
    return 0;
}
