#pragma once

#include "localenumbers.h"
#include "platform.h"

// The number conversions every platform shares: one locale's regional format.
class LocalePlatform : public Platform
{
public:
    explicit LocalePlatform(const QLocale& locale) : numbers_(locale) {}

    double TextToDouble(std::string_view text) const final { return numbers_.toDouble(text); }
    std::string NumberToText(double value) const final { return numbers_.toText(value); }
    std::string NumberToText(MonthCount value) const final { return LocaleNumbers::toText(value); }

private:
    LocaleNumbers numbers_;
};
