#include "numbertext.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace {

// Locale-independent, correctly rounded conversions between a double and
// plain ASCII text ("-1.5e-05"). The WebAssembly build's C++ library
// (Emscripten's) has no floating-point std::from_chars and std::to_chars;
// there its C library's strtod and snprintf do the same work: they run in
// the "C" locale only, and both round correctly.
#ifndef __EMSCRIPTEN__
bool parsePlain(const std::string& plain, double& value)
{
    const char* const end = plain.data() + plain.size();
    const auto [ptr, error] = std::from_chars(plain.data(), end, value);
    return error == std::errc() && ptr == end;
}

std::size_t writePlain(double value, char (&buffer)[32])
{
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return static_cast<std::size_t>(result.ptr - buffer);
}
#else
bool parsePlain(const std::string& plain, double& value)
{
    errno = 0;
    char* end = nullptr;
    value = std::strtod(plain.c_str(), &end);
    // As std::from_chars: a result that underflows to zero or overflows is
    // out of range; one that is only subnormal is not.
    const bool outOfRange = errno == ERANGE && (value == 0.0 || std::isinf(value));
    return !outOfRange && end == plain.c_str() + plain.size();
}

std::size_t writePlain(double value, char (&buffer)[32])
{
    const int length = std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return length > 0 ? static_cast<std::size_t>(length) : 0;
}
#endif

// The white space that may stand around a number: ASCII white space and the
// Unicode spaces, as they are encoded in UTF-8.
constexpr std::string_view spaces[] = {
    " ",      "\t",     "\n",     "\v",     "\f",     "\r",     "\u0085", "\u00a0", "\u1680",
    "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006", "\u2007", "\u2008",
    "\u2009", "\u200a", "\u2028", "\u2029", "\u202f", "\u205f", "\u3000"};

std::size_t spaceAt(std::string_view text, bool atEnd)
{
    for (const std::string_view space : spaces)
        if (atEnd ? text.ends_with(space) : text.starts_with(space))
            return space.size();
    return 0;
}

std::string_view trimmed(std::string_view text)
{
    while (const std::size_t n = spaceAt(text, false))
        text.remove_prefix(n);
    while (const std::size_t n = spaceAt(text, true))
        text.remove_suffix(n);
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Where a separator looks like a space, a typed space stands for it too.
bool startsWithSeparator(std::string_view text, const std::string& separator, std::size_t* length)
{
    if (separator.empty())
        return false;
    if (text.starts_with(separator)) {
        *length = separator.size();
        return true;
    }
    if ((separator == "\u00a0" || separator == "\u202f") && text.starts_with(' ')) {
        *length = 1;
        return true;
    }
    return false;
}

} // namespace

std::optional<double> readNumber(std::string_view text, const NumberFormat& format)
{
    text = trimmed(text);
    std::string plain; // the number in the form std::from_chars reads
    plain.reserve(text.size());
    std::size_t i = 0;

    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-')
            plain += '-';
        ++i;
    }

    // Whole part: digit runs between group separators. Only the runs after a
    // separator have a fixed length; the first is a higher group too, and
    // holds 1 to as many digits as one ("1,23,456", never "123,456", in
    // India's format). A separator that is also the decimal point cannot
    // group.
    const bool grouping = format.groupSeparator != format.decimalPoint;
    std::vector<std::size_t> runs{0};
    std::size_t separatorLength = 0;
    while (i < text.size()) {
        if (isDigit(text[i])) {
            plain += text[i++];
            ++runs.back();
        } else if (grouping &&
                   startsWithSeparator(text.substr(i), format.groupSeparator, &separatorLength)) {
            i += separatorLength;
            runs.push_back(0);
        } else {
            break;
        }
    }
    if (runs.size() > 1) {
        if (runs.front() == 0 || runs.front() > static_cast<std::size_t>(format.higherGroupSize))
            return std::nullopt;
        for (std::size_t r = 1; r < runs.size(); ++r) {
            const auto size = static_cast<std::size_t>(
                r + 1 == runs.size() ? format.groupSize : format.higherGroupSize);
            if (runs[r] != size)
                return std::nullopt;
        }
    }
    std::size_t digits = runs.back();
    for (std::size_t r = 0; r + 1 < runs.size(); ++r)
        digits += runs[r];

    if (!format.decimalPoint.empty() && text.substr(i).starts_with(format.decimalPoint)) {
        i += format.decimalPoint.size();
        plain += '.';
        while (i < text.size() && isDigit(text[i])) {
            plain += text[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;

    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            plain += text[i++];
        if (i == text.size() || !isDigit(text[i]))
            return std::nullopt;
        while (i < text.size() && isDigit(text[i]))
            plain += text[i++];
    }
    if (i != text.size())
        return std::nullopt;

    double value = 0;
    if (!parsePlain(plain, value) || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string writeNumber(double value, std::string_view decimalPoint)
{
    if (value == 0.0)
        return "0"; // never "-0"

    // "General" form with 15 digits switches to exponent form below 1E-04
    // and from 1E+15.
    char buffer[32];
    const std::size_t length = writePlain(value, buffer);
    std::string text;
    text.reserve(32);
    for (const char* p = buffer; p != buffer + length; ++p) {
        if (*p == '.')
            text += decimalPoint;
        else if (*p == 'e')
            text += 'E';
        else
            text += *p;
    }
    return text;
}

std::string writeMonthCount(MonthCount value)
{
    return std::to_string(value);
}
