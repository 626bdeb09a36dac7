// The Compute click under arbitrary input, on the in-memory platform.
//
// Input: one byte that picks the payment kind (byte % 3: "Fixed",
// "Declining Minimum" or the fourth text below) and the locale
// ((byte / 3) % 6), then up to four texts separated by '|': payment, annual
// rate, balance and the free payment kind text. Missing texts are empty.
//
// The result boxes start with texts the program never writes. After the
// click, exactly one of these holds, or the run stops with a trap:
//  - the first of payment, rate and balance that is empty or exactly "0" was
//    asked for with its message, alone, and nothing else changed;
//  - nothing was shown and nothing changed (the computation failed);
//  - the month count box holds 1 to 600 and the average box "$" and a number
//    in the locale's format, with no message shown;
//  - the month count box holds 601, the average box "$0", and the limit
//    message was shown exactly twice (once per simulation).
// The input boxes and the payment kind are never changed.
#include "handlers.h"
#include "headlessplatform.h"
#include "paymentkinds.h"
#include "payoff.h"
#include "runtimeerror.h"

#include <QLocale>

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view untouchedAverage = "untouched average \x01";
constexpr std::string_view untouchedMonths = "untouched months \x01";

struct Locale
{
    const char* name = nullptr;
    QLocale locale;
};

const std::array<Locale, 6>& locales()
{
    static const std::array<Locale, 6> all{{
        {"en_US", QLocale(QLocale::English, QLocale::UnitedStates)},
        {"de_DE", QLocale(QLocale::German, QLocale::Germany)},
        {"fr_FR", QLocale(QLocale::French, QLocale::France)},
        {"de_CH", QLocale(QLocale::German, QLocale::Switzerland)},
        {"sv_SE", QLocale(QLocale::Swedish, QLocale::Sweden)},
        {"he_IL", QLocale(QLocale::Hebrew, QLocale::Israel)},
    }};
    return all;
}

struct Case
{
    const char* locale = nullptr;
    std::array<std::string, 4> boxes; // payment, rate, balance, kind
};

[[noreturn]] void fail(const Case& input, const HeadlessPlatform& platform, const char* rule)
{
    std::fprintf(stderr, "\n*** %s\n    locale %s\n", rule, input.locale);
    const char* names[] = {"payment", "rate", "balance", "kind"};
    for (std::size_t i = 0; i < input.boxes.size(); ++i)
        std::fprintf(stderr, "    %-8s \"%s\"\n", names[i], input.boxes[i].c_str());
    std::fprintf(stderr, "    Text4 \"%s\"\n    Text5 \"%s\"\n",
                 platform.GetText(Control::Text4).c_str(),
                 platform.GetText(Control::Text5).c_str());
    for (const std::string& message : platform.messages())
        std::fprintf(stderr, "    message \"%s\"\n", message.c_str());
    __builtin_trap();
}

// A month count as the program writes it: plain decimal digits, no sign or
// leading zero.
bool readMonths(const std::string& text, int* months)
{
    if (text.empty() || text[0] == '0')
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    const auto result = std::from_chars(text.data(), text.data() + text.size(), *months);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Whether the number after "$" is one the locale reads. The one text it may
// not read: the 15-digit rounding of an average from 1.797693134862315E+308
// up to the largest double, which lies just past that (the C reading of it
// overflows).
bool averageReadsBack(const LocaleNumbers& numbers, const std::string& number)
{
    try {
        numbers.toDouble(number);
        return true;
    } catch (const RuntimeError&) {
    }
    std::string ascii = number;
    const std::string separator = numbers.locale().decimalPoint().toStdString();
    if (const std::size_t at = ascii.find(separator); at != std::string::npos)
        ascii.replace(at, separator.size(), ".");
    char* end = nullptr;
    const double value = std::strtod(ascii.c_str(), &end);
    return end == ascii.c_str() + ascii.size() && std::isinf(value) &&
           (ascii == "1.79769313486232E+308" || ascii == "-1.79769313486232E+308");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t selector = data[0];
    const Locale& locale = locales()[(selector / 3u) % locales().size()];

    Case input{locale.name, {}};
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::size_t field = 0;
    for (const char c : rest) {
        if (c == '|') {
            if (++field == input.boxes.size())
                break;
        } else {
            input.boxes[field] += c;
        }
    }
    if (selector % 3 != 2)
        input.boxes[3] = std::string(paymentKinds[selector % 3]);

    HeadlessPlatform platform(locale.locale);
    platform.SetText(Control::Text1, input.boxes[0]);
    platform.SetText(Control::Text2, input.boxes[1]);
    platform.SetText(Control::Text3, input.boxes[2]);
    platform.SetText(Control::Combo1, input.boxes[3]);
    platform.SetText(Control::Text4, untouchedAverage);
    platform.SetText(Control::Text5, untouchedMonths);

    ComputeClick(platform);

    const std::string average = platform.GetText(Control::Text4);
    const std::string months = platform.GetText(Control::Text5);
    const std::vector<std::string>& messages = platform.messages();
    const bool unchanged = average == untouchedAverage && months == untouchedMonths;

    if (platform.GetText(Control::Text1) != input.boxes[0] ||
        platform.GetText(Control::Text2) != input.boxes[1] ||
        platform.GetText(Control::Text3) != input.boxes[2] ||
        platform.GetText(Control::Combo1) != input.boxes[3])
        fail(input, platform, "an input box or the payment kind changed");

    // Which input, if any, must be asked for.
    const std::string_view* missing = nullptr;
    for (std::size_t i = 0; i < missingInputMessages.size(); ++i) {
        if (input.boxes[i].empty() || input.boxes[i] == "0") {
            missing = &missingInputMessages[i].second;
            break;
        }
    }
    if (missing) {
        if (messages.size() != 1 || messages[0] != *missing)
            fail(input, platform, "missing input not asked for with its message alone");
        if (!unchanged)
            fail(input, platform, "results written although an input is missing");
        return 0;
    }

    if (unchanged) {
        if (!messages.empty())
            fail(input, platform, "message shown by a computation that wrote nothing");
        return 0;
    }

    int count = 0;
    if (!readMonths(months, &count) || count < 1 || count > monthLimit + 1)
        fail(input, platform, "month count not a whole number from 1 to 601");
    if (average.size() < 2 || average[0] != '$')
        fail(input, platform, "average not \"$\" and a number");
    const LocaleNumbers numbers(locale.locale);
    if (!averageReadsBack(numbers, average.substr(1)))
        fail(input, platform, "average not a number in the locale's format");

    if (count == monthLimit + 1) {
        if (messages.size() != 2 || messages[0] != limitMessage || messages[1] != limitMessage)
            fail(input, platform, "601 months without the limit message exactly twice");
        if (average != "$0")
            fail(input, platform, "601 months with an average other than $0");
    } else if (!messages.empty()) {
        fail(input, platform, "message shown by a computation within the limit");
    }
    return 0;
}
