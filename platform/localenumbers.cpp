#include "localenumbers.h"

#include "runtimeerror.h"

#include <charconv>
#include <cmath>

LocaleNumbers::LocaleNumbers(const QLocale& locale)
    : locale_(locale), decimalPoint_(locale.decimalPoint()),
      decimalPointUtf8_(decimalPoint_.toStdString())
{
}

double LocaleNumbers::toDouble(std::string_view text) const
{
    const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    bool ok = false;
    double value = locale_.toDouble(qtext, &ok);
    if (!ok)
        ok = readPlainForm(qtext, &value);
    // QLocale reads "inf" and "nan" in every locale; they are no numbers here.
    if (!ok || !std::isfinite(value))
        throw RuntimeError("not a number");
    return value;
}

// The shape toText() writes: ASCII sign and digits, the locale's decimal
// separator, an optional E exponent. No grouping.
bool LocaleNumbers::readPlainForm(const QString& text, double* value) const
{
    QString plain = text.trimmed();
    if (decimalPoint_ != QLatin1String(".")) {
        if (plain.contains(QLatin1Char('.')))
            return false;
        plain.replace(decimalPoint_, QLatin1String("."));
    }
    for (const QChar c : plain) {
        const bool allowed = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                             c == QLatin1Char('.') || c == QLatin1Char('-') ||
                             c == QLatin1Char('+') || c == QLatin1Char('E') ||
                             c == QLatin1Char('e');
        if (!allowed)
            return false;
    }
    bool ok = false;
    *value = QLocale::c().toDouble(plain, &ok);
    return ok;
}

std::string LocaleNumbers::toText(double value) const
{
    if (value == 0.0)
        return "0"; // never "-0"

    // std::to_chars is locale-independent and correctly rounded; "general"
    // with 15 digits switches to exponent form below 1E-04 and from 1E+15.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, 15);
    std::string text;
    text.reserve(32);
    for (const char* p = buffer; p != result.ptr; ++p) {
        if (*p == '.')
            text += decimalPointUtf8_;
        else if (*p == 'e')
            text += 'E';
        else
            text += *p;
    }
    return text;
}

std::string LocaleNumbers::toText(MonthCount value)
{
    return std::to_string(value);
}
