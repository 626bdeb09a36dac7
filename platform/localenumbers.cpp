#include "localenumbers.h"

#include "runtimeerror.h"

#include <cmath>

LocaleNumbers::LocaleNumbers(const QLocale& locale)
    : locale_(locale)
{
    plainForm_.decimalPoint = locale.decimalPoint().toStdString();
}

double LocaleNumbers::toDouble(std::string_view text) const
{
    bool ok = false;
    double value = locale_.toDouble(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), &ok);
    if (!ok) {
        const std::optional<double> plain = readNumber(text, plainForm_);
        ok = plain.has_value();
        value = plain.value_or(0);
    }
    // QLocale reads "inf" and "nan" in every locale; they are no numbers here.
    if (!ok || !std::isfinite(value))
        throw RuntimeError("not a number");
    return value;
}

std::string LocaleNumbers::toText(double value) const
{
    return writeNumber(value, plainForm_.decimalPoint);
}

std::string LocaleNumbers::toText(MonthCount value)
{
    return writeMonthCount(value);
}
