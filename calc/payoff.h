#pragma once

#include "platform.h"

#include <cstdint>
#include <string_view>
#include <variant>

// What a simulation answers: the month count for result selector 0, the
// total interest for any other selector.
using SimulationResult = std::variant<MonthCount, double>;

inline constexpr MonthCount monthLimit = 600;
inline constexpr double minimumPayment = 15;
inline constexpr std::string_view limitMessage =
    "Number of payments exceeds 600. Please increase the minimum payment percent and recalculate.";

// Month by month until the balance is no longer positive. Interest is charged
// on the balance at the start of each month, then the whole payment is
// applied. Past 600 months the limit message is shown through the platform
// and the call returns 601 months or a total interest of 0. Any step that
// leaves the finite doubles throws RuntimeError.
SimulationResult FixedPayoff(Platform& platform, double monthlyRate, double balance,
                             double payment, std::int16_t resultSelector);

// As FixedPayoff, but each month pays the same share of the balance as the
// first payment is of the starting balance, and never less than 15. A
// starting balance of exactly 0 makes that share a division by zero.
SimulationResult DecliningPayoff(Platform& platform, double monthlyRate, double balance,
                                 double payment, std::int16_t resultSelector);
