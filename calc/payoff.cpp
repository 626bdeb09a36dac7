#include "payoff.h"

#include "checked.h"

namespace {

// The month loop both payment kinds share; paymentFor(balance) gives the
// month's payment from the balance at the start of the month.
template <typename PaymentFor>
SimulationResult simulate(Platform& platform, double monthlyRate, double balance,
                          PaymentFor paymentFor, std::int16_t resultSelector)
{
    double totalInterest = 0;
    MonthCount months = 0;
    while (balance > 0) {
        const double payment = paymentFor(balance);
        const double monthInterest = checked::mul(monthlyRate, balance);
        const double principal = checked::sub(payment, monthInterest);
        balance = checked::sub(balance, principal);
        totalInterest = checked::add(totalInterest, monthInterest);
        months = static_cast<MonthCount>(months + 1);
        if (months > monthLimit) {
            platform.ShowMessage(limitMessage);
            totalInterest = 0;
            break;
        }
    }
    if (resultSelector == 0)
        return SimulationResult(std::in_place_type<MonthCount>, months);
    return SimulationResult(std::in_place_type<double>, totalInterest);
}

} // namespace

SimulationResult FixedPayoff(Platform& platform, double monthlyRate, double balance,
                             double payment, std::int16_t resultSelector)
{
    return simulate(
        platform, monthlyRate, balance, [payment](double) { return payment; }, resultSelector);
}

SimulationResult DecliningPayoff(Platform& platform, double monthlyRate, double balance,
                                 double payment, std::int16_t resultSelector)
{
    const double paymentFraction = checked::div(payment, balance);
    const auto paymentFor = [paymentFraction](double monthBalance) {
        const double share = checked::mul(monthBalance, paymentFraction);
        return share < minimumPayment ? minimumPayment : share;
    };
    return simulate(platform, monthlyRate, balance, paymentFor, resultSelector);
}
