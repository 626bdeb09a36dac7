#include "compute.h"

#include "checked.h"
#include "payoff.h"
#include "paymentkinds.h"

void ComputePayoff(Platform& platform)
{
    const double payment = platform.TextToDouble(platform.GetText(Control::Text1));
    double rate = platform.TextToDouble(platform.GetText(Control::Text2));
    const double balance = platform.TextToDouble(platform.GetText(Control::Text3));

    // 1 or more reads as a percentage, less than 1 as a fraction: 18 and 0.18
    // both mean 18 % a year. A negative rate is therefore never scaled.
    if (rate >= 1)
        rate = checked::div(rate, 100);
    const double monthlyRate = checked::div(rate, 12);

    // An exact, case-sensitive match; every other text means declining.
    const auto simulation =
        platform.GetText(Control::Combo1) == paymentKinds[0] ? FixedPayoff : DecliningPayoff;

    const auto months = std::get<MonthCount>(simulation(platform, monthlyRate, balance, payment, 0));
    const auto totalInterest =
        std::get<double>(simulation(platform, monthlyRate, balance, payment, 1));
    const double average = checked::div(totalInterest, months);

    platform.SetText(Control::Text4, "$" + platform.NumberToText(average));
    platform.SetText(Control::Text5, platform.NumberToText(months));
}
