// Number conversions under arbitrary input, in six regional formats.
//
// Input: the first byte picks the locale; the rest is read as a number text,
// and its first 8 bytes are also taken as a double to be written and read
// back. Any broken rule stops the run with a message and a trap, which
// libFuzzer reports as a crash and saves the input for.
//
// Rules:
//  - reading never fails other than with RuntimeError, and whatever it
//    accepts is a finite double;
//  - writing a finite double gives its 15-significant-digit rounding, which
//    reads back (in the same locale) as exactly the double nearest that
//    rounding, so within |v| * 5e-15 of v plus half a binary unit of the
//    value read back; the text holds nothing but ASCII digits, sign, "E" and
//    the locale's decimal separator;
//  - the one exception: doubles from 1.797693134862315E+308 up to the
//    largest double round to a 15-digit text just past it, whose reading
//    must then throw RuntimeError.
#include "localenumbers.h"
#include "runtimeerror.h"

#include <QLocale>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

struct Locale
{
    const char* name = nullptr;
    LocaleNumbers numbers;
};

// Point, comma with "." grouping, (narrow no-break) space grouping,
// apostrophe grouping, Unicode minus sign, right-to-left.
const std::array<Locale, 6>& locales()
{
    static const std::array<Locale, 6> all{{
        {"en_US", LocaleNumbers(QLocale(QLocale::English, QLocale::UnitedStates))},
        {"de_DE", LocaleNumbers(QLocale(QLocale::German, QLocale::Germany))},
        {"fr_FR", LocaleNumbers(QLocale(QLocale::French, QLocale::France))},
        {"de_CH", LocaleNumbers(QLocale(QLocale::German, QLocale::Switzerland))},
        {"sv_SE", LocaleNumbers(QLocale(QLocale::Swedish, QLocale::Sweden))},
        {"he_IL", LocaleNumbers(QLocale(QLocale::Hebrew, QLocale::Israel))},
    }};
    return all;
}

[[noreturn]] void fail(const Locale& locale, const char* rule, double value,
                       std::string_view text)
{
    std::fprintf(stderr, "\n*** %s: %s\n    value %.17g (%a)\n    text \"%.*s\"\n", locale.name,
                 rule, value, value, static_cast<int>(text.size()), text.data());
    __builtin_trap();
}

// The 15-significant-digit rounding of value as printf writes it ("%.14e"),
// an independent reference for what toText() must produce.
std::string reference15(double value)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    return buffer;
}

// toText()'s output in C form: the locale's decimal separator back to '.'.
std::string asciiForm(const LocaleNumbers& numbers, std::string text)
{
    const std::string separator = numbers.locale().decimalPoint().toStdString();
    if (separator != ".") {
        const std::size_t at = text.find(separator);
        if (at != std::string::npos)
            text.replace(at, separator.size(), ".");
    }
    return text;
}

void checkWritesAndReadsBack(const Locale& locale, double value)
{
    const LocaleNumbers& numbers = locale.numbers;
    const std::string text = numbers.toText(value);

    // What the 15-digit rounding reads as in C; infinite if it is past the
    // largest double.
    const double nearest = std::strtod(reference15(value).c_str(), nullptr);

    // The digits written are that same rounding (compared by value, since
    // the two forms differ: "1E+15" against "1.00000000000000e+15").
    const std::string ascii = asciiForm(numbers, text);
    char* end = nullptr;
    const double written = std::strtod(ascii.c_str(), &end);
    if (end != ascii.c_str() + ascii.size() || !(written == nearest))
        fail(locale, "toText does not give the 15-digit rounding", value, text);
    for (const char c : ascii) {
        const bool plain = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'E';
        if (!plain)
            fail(locale, "toText writes something besides digits, sign, separator and E", value,
                 text);
    }

    if (std::isinf(nearest)) {
        // Only the rounding of the largest doubles goes past the range.
        if (std::abs(value) < 1.797693134862315e308)
            fail(locale, "15-digit rounding past the range for a smaller double", value, text);
        try {
            numbers.toDouble(text);
        } catch (const RuntimeError&) {
            return;
        }
        fail(locale, "text past the largest double read without RuntimeError", value, text);
    }

    double back = 0;
    try {
        back = numbers.toDouble(text);
    } catch (const RuntimeError&) {
        fail(locale, "toDouble rejects what toText wrote", value, text);
    }
    if (!(back == nearest))
        fail(locale, "toDouble does not read back the double nearest the text", value, text);
    // Half a unit in the 15th digit (5e-15 relative, at most) plus half a
    // binary unit of the double the text is read as. That second part is at
    // most one unit of value's own (the read-back may sit one binade up), the
    // spacing from value away from zero. 5e-15 alone is too tight: the
    // double just above 1.000000000000135 writes as 1.00000000000014, which
    // reads back as 1.0000000000001401, 5.107e-15 away.
    const double unit = std::abs(std::nextafter(value, std::copysign(HUGE_VAL, value)) - value);
    if (!(std::abs(back - value) <= std::abs(value) * 5e-15 + unit))
        fail(locale, "read-back further than 15 significant digits from the value", value, text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const Locale& locale = locales()[data[0] % locales().size()];
    ++data;
    --size;

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const double value = locale.numbers.toDouble(text);
        if (!std::isfinite(value))
            fail(locale, "toDouble accepted a text as a non-finite value", value, text);
        checkWritesAndReadsBack(locale, value);
    } catch (const RuntimeError&) {
        // Not a number in this locale: the one allowed failure.
    }

    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value))
            checkWritesAndReadsBack(locale, value);
    }
    return 0;
}
