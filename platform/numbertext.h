#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Text <-> number without any toolkit, for a given set of regional
// separators. Every build writes numbers with this code; the Windows and web
// builds read them with it too, and the Qt build falls back on it for what
// Qt's own parser refuses.

// Month counts are 16-bit signed integers throughout the program.
using MonthCount = std::int16_t;

struct NumberFormat
{
    std::string decimalPoint = ".";
    // Empty: no grouping is accepted.
    std::string groupSeparator;
    // Digits in the group next to the decimal point, and in each group
    // further left ("1,234,567" is 3 and 3; India's "12,34,567" is 3 and 2).
    int groupSize = 3;
    int higherGroupSize = 3;
};

// Spaces around the number, a leading sign, digits grouped only where the
// format puts the separator, the decimal point, an optional exponent
// ("1E+15"). Anything else, the words for infinity and not-a-number
// included, and any number beyond a double's range, gives nothing.
std::optional<double> readNumber(std::string_view text, const NumberFormat& format);

// At most 15 significant digits, no grouping, trailing zeros dropped, ASCII
// digits and minus sign, the given decimal point, and exponent form ("1E+15",
// "1E-05") where plain form would need more digits. What it writes,
// readNumber reads back in the same format.
std::string writeNumber(double value, std::string_view decimalPoint);

// Plain decimal digits.
std::string writeMonthCount(MonthCount value);
