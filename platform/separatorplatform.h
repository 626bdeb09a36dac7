#pragma once

#include "numbertext.h"
#include "platform.h"
#include "runtimeerror.h"

#include <optional>
#include <utility>

// The number conversions of the builds that read and write numbers with the
// shared number text (Windows and the web), in one set of regional
// separators.
class SeparatorPlatform : public Platform
{
public:
    explicit SeparatorPlatform(NumberFormat numbers) : numbers_(std::move(numbers)) {}

    double TextToDouble(std::string_view text) const final
    {
        if (const std::optional<double> value = readNumber(text, numbers_))
            return *value;
        throw RuntimeError("not a number");
    }
    std::string NumberToText(double value) const final
    {
        return writeNumber(value, numbers_.decimalPoint);
    }
    std::string NumberToText(MonthCount value) const final { return writeMonthCount(value); }

private:
    NumberFormat numbers_;
};
