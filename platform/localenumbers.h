#pragma once

#include "numbertext.h"

#include <QLocale>

#include <string>
#include <string_view>

// Text <-> number in one Qt locale's regional format.
//
// Reading takes the locale's decimal separator and digit grouping, with
// spaces around the number; it also takes back exactly what toText() writes,
// which Qt's own parser fails to do in some locales (those whose minus sign
// or exponent is not plain ASCII). Anything that is not a finite double,
// the words for infinity and not-a-number included, throws RuntimeError.
//
// Writing is writeNumber() with the locale's decimal separator.
class LocaleNumbers
{
public:
    explicit LocaleNumbers(const QLocale& locale);

    double toDouble(std::string_view text) const;
    std::string toText(double value) const;
    static std::string toText(MonthCount value);

    const QLocale& locale() const { return locale_; }

private:
    QLocale locale_;
    // The locale's decimal separator, without grouping: the form toText()
    // writes, which the fallback reader takes.
    NumberFormat plainForm_;
};
