#pragma once

#include "platform.h"

#include <QLocale>
#include <QString>

#include <string>
#include <string_view>

// Text <-> number in one locale's regional format.
//
// Reading takes the locale's decimal separator and digit grouping, with
// spaces around the number; it also takes back exactly what toText() writes,
// which Qt's own parser fails to do in some locales (those whose minus sign
// or exponent is not plain ASCII). Anything that is not a finite double,
// the words for infinity and not-a-number included, throws RuntimeError.
//
// Writing gives at most 15 significant digits, no grouping, trailing zeros
// dropped, ASCII digits and minus sign, the locale's decimal separator, and
// exponent form ("1E+15", "1E-05") when plain form would need more digits.
class LocaleNumbers
{
public:
    explicit LocaleNumbers(const QLocale& locale);

    double toDouble(std::string_view text) const;
    std::string toText(double value) const;
    static std::string toText(MonthCount value);

    const QLocale& locale() const { return locale_; }

private:
    bool readPlainForm(const QString& text, double* value) const;

    QLocale locale_;
    QString decimalPoint_;
    std::string decimalPointUtf8_;
};
