// The fixed-payment month count against the annuity formula, over thousands
// of generated loans.
//
// With a monthly rate r > 0, a balance B and a fixed payment P > r * B, the
// balance after m months is
//     b(m) = (1 + r)^m * (B - P / r) + P / r,
// which first reaches 0 at
//     x = -ln(1 - r * B / P) / ln(1 + r),
// so the loan is paid off in n = ceil(x) months. With no interest it is
// n = ceil(B / P). The simulation steps the balance month by month in double
// arithmetic instead; the two must agree wherever rounding cannot tip the
// last month one way or the other.
#include "headlessplatform.h"
#include "payoff.h"

#include <QTest>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>

namespace {

// Unit roundoff of a double.
constexpr double u = DBL_EPSILON / 2;

// Closed-form cases closer than this to a whole month are never compared: at
// least this much room is always left for rounding, however small the
// computed error bounds below come out.
constexpr double baseMargin = 1e-9;

// Bound on the error of closedFormMonths(). Its two branches keep the
// logarithm's argument accurate to a few units of roundoff (log1p for small
// r * B / P; fma for P - r * B when that difference cancels), which puts the
// error of x below 7u * 600 + 2u / ln(1 + r) < 7e-13 for every case with
// x <= 600 (there ln(1 + r) >= ln 2 / 600 when r * B / P >= 0.5).
constexpr double closedFormError = 1e-12;

double closedFormMonths(double r, double balance, double payment)
{
    const double share = r * balance / payment; // r * B / P, in (0, 1)
    const double lnRemaining = share < 0.5 ? std::log1p(-share)
                                           : std::log(std::fma(-r, balance, payment) / payment);
    return -lnRemaining / std::log1p(r);
}

// How far (in months) the simulation's rounding can move the month at which
// the balance reaches 0, for a loan whose closed form lands at x months.
//
// One month computes i = r * b, p = P - i and b' = b - p, three roundings
// whose error adds up to at most u * (r * b + |P - i| + |b'|) <= 3u * (B + P)
// while the balance falls. An error in b grows by (1 + r) in every later
// month, so after n months the balance is off by at most
//     E = 3u * (B + P) * ((1 + r)^n - 1) / r.
// Near its zero b(m) falls by at least (P / r) * ln(1 + r) / (1 + r) a month
// (it is concave, the slope at x is -(P / r) * ln(1 + r), and at most one
// month away it is shallower by at most a factor 1 + r). So a closed form
// more than E * r * (1 + r) / (P * ln(1 + r)) from a whole month cannot be
// tipped; n is taken as x + 1 to cover the month past x.
//
// With small rates this is about 3u * (1 + B / P) * (x + 1), below 4e-10
// for every loan paid off within 600 months, so the fixed margin rules. When
// the payment only just covers the interest, (1 + r)^n is large: early
// rounding is amplified that much by the time the balance reaches 0, and the
// margin widens with it.
double simulationMargin(double r, double balance, double payment, double x)
{
    const double growth = r == 0 ? x + 1 : std::expm1((x + 1) * std::log1p(r)) / std::log1p(r);
    return 3 * u * (1 + balance / payment) * growth * (1 + r);
}

// A payment above the first month's interest, exactly (P - r * B in one
// rounding), and both finite.
bool paysOff(double r, double balance, double payment)
{
    return std::isfinite(payment) && std::fma(-r, balance, payment) > 0;
}

double distanceToWholeMonth(double x)
{
    return std::abs(x - std::round(x));
}

// Log-uniform in [low, high].
double logUniform(std::mt19937_64& random, double low, double high)
{
    std::uniform_real_distribution<double> exponent(std::log(low), std::log(high));
    return std::exp(exponent(random));
}

struct Tally
{
    int checked = 0;
    int skipped = 0;
    int skippedByWidening = 0; // of those, the ones beyond the fixed margin

    void report() const
    {
        qInfo("%d cases compared, %d skipped as within rounding of a whole month "
              "(%d of them only by the widened margin)",
              checked, skipped, skippedByWidening);
    }
};

struct Loan
{
    double r;
    double balance;
    double payment;
};

} // namespace

class TestCrossCheck : public QObject
{
    Q_OBJECT

private slots:
    void init() { platform = std::make_unique<HeadlessPlatform>(); }

    void fixedCountMatchesAnnuityFormula_data();
    void fixedCountMatchesAnnuityFormula();
    void paymentJustAboveInterest_data();
    void paymentJustAboveInterest();
    void zeroRateCountIsBalanceOverPayment_data();
    void zeroRateCountIsBalanceOverPayment();
    void zeroRateWholeMultiples();

private:
    // Compares one loan; returns false (and records why) on a disagreement.
    bool compare(double r, double balance, double payment, Tally& tally);
    // Compares `cases` generated loans (nextLoan gives none for a draw to
    // pass over), stops after ten disagreements, and wants at least
    // `mustCheck` of them compared rather than skipped.
    template <typename NextLoan>
    void compareLoans(int cases, int mustCheck, NextLoan nextLoan);

    std::unique_ptr<HeadlessPlatform> platform;
};

bool TestCrossCheck::compare(double r, double balance, double payment, Tally& tally)
{
    const double x = r == 0 ? balance / payment : closedFormMonths(r, balance, payment);
    if (!std::isfinite(x) || x <= 0 || x > 600) {
        qWarning("r = %.17g, balance = %.17g, payment = %.17g: no closed form (%g)", r, balance,
                 payment, x);
        return false;
    }
    const double margin =
        std::max(baseMargin, simulationMargin(r, balance, payment, x) + closedFormError);
    if (distanceToWholeMonth(x) < margin) {
        ++tally.skipped;
        if (distanceToWholeMonth(x) >= baseMargin)
            ++tally.skippedByWidening;
        return true;
    }
    ++tally.checked;
    const auto expected = static_cast<int>(std::ceil(x));
    const int months = std::get<MonthCount>(FixedPayoff(*platform, r, balance, payment, 0));
    if (months == expected && platform->messages().empty())
        return true;
    qWarning("r = %.17g, balance = %.17g, payment = %.17g: closed form %.17g months "
             "(margin %.3g), simulation %d months, %zu messages",
             r, balance, payment, x, margin, months, platform->messages().size());
    return false;
}

template <typename NextLoan>
void TestCrossCheck::compareLoans(int cases, int mustCheck, NextLoan nextLoan)
{
    Tally tally;
    int failures = 0;
    for (int i = 0; i < cases; ++i) {
        const std::optional<Loan> loan = nextLoan();
        if (loan && !compare(loan->r, loan->balance, loan->payment, tally) && ++failures >= 10)
            break;
    }
    tally.report();
    QCOMPARE(failures, 0);
    QVERIFY(tally.checked >= mustCheck);
}

void TestCrossCheck::fixedCountMatchesAnnuityFormula_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<double>("rateLow");
    QTest::addColumn<double>("rateHigh");
    QTest::addColumn<double>("balanceLow");
    QTest::addColumn<double>("balanceHigh");
    QTest::addColumn<int>("nearWhole");

    // Monthly rates: 0.01 % to 3 % is 0.12 % to 36 % a year.
    QTest::newRow("card and loan rates, household balances")
        << quint64(1) << 1e-4 << 0.03 << 100.0 << 1e6 << 0;
    QTest::newRow("next to no interest") << quint64(2) << 1e-12 << 1e-5 << 100.0 << 1e6 << 0;
    QTest::newRow("steep rates") << quint64(3) << 0.05 << 5.0 << 100.0 << 1e6 << 0;
    QTest::newRow("tiny balances") << quint64(4) << 1e-4 << 0.5 << 1e-200 << 1e-3 << 0;
    QTest::newRow("huge balances") << quint64(5) << 1e-4 << 0.5 << 1e9 << 1e250 << 0;
    QTest::newRow("everything at once") << quint64(6) << 1e-12 << 5.0 << 1e-200 << 1e250 << 0;
    // The last payment only just clears the balance, or only just fails to.
    QTest::newRow("paid off a hair after a whole month")
        << quint64(7) << 1e-12 << 5.0 << 1e-200 << 1e250 << 1;
    QTest::newRow("paid off a hair before a whole month")
        << quint64(8) << 1e-12 << 5.0 << 1e-200 << 1e250 << -1;
}

void TestCrossCheck::fixedCountMatchesAnnuityFormula()
{
    QFETCH(quint64, seed);
    QFETCH(double, rateLow);
    QFETCH(double, rateHigh);
    QFETCH(double, balanceLow);
    QFETCH(double, balanceHigh);
    QFETCH(int, nearWhole);

    std::mt19937_64 random(seed);
    // The loan is meant to take t months (any real number up to 599.99, or
    // one from 1e-7 to 1e-3 months off a whole number); the payment that
    // does so is r * B / (1 - (1 + r)^-t).
    // At steep rates t is kept below the point where (1 + r)^-t vanishes
    // next to 1 (e^-25), or the payment would round to the interest itself.
    std::uniform_real_distribution<double> fraction(0, 1);
    // The skipping must leave nearly all the cases compared (the loans that
    // end a hair off a whole month at steep rates lose about 3 %).
    compareLoans(5000, 4500, [&]() -> std::optional<Loan> {
        const double r = logUniform(random, rateLow, rateHigh);
        const double balance = logUniform(random, balanceLow, balanceHigh);
        const double longest = std::min(599.99, 25 / std::log1p(r));
        double t = 0.01 + fraction(random) * (longest - 0.01);
        if (nearWhole != 0)
            t = std::max(1.0, std::round(t)) + nearWhole * logUniform(random, 1e-7, 1e-3);
        const double payment = r * balance / -std::expm1(-t * std::log1p(r));
        // Rounding of the payment may leave the closed form just past 600.
        if (!paysOff(r, balance, payment) || closedFormMonths(r, balance, payment) > 600)
            return std::nullopt;
        return Loan{r, balance, payment};
    });
}

void TestCrossCheck::paymentJustAboveInterest_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<double>("rateLow");
    QTest::addColumn<double>("rateHigh");

    QTest::newRow("steep rates") << quint64(11) << 0.05 << 2.0;
    QTest::newRow("card rates") << quint64(12) << 0.01 << 0.05;
}

// The payment covers the first month's interest by a hair, so the balance
// hardly moves for most of the loan and then collapses: the slowest payoffs
// that still end within 600 months.
void TestCrossCheck::paymentJustAboveInterest()
{
    QFETCH(quint64, seed);
    QFETCH(double, rateLow);
    QFETCH(double, rateHigh);

    std::mt19937_64 random(seed);
    compareLoans(5000, 4500, [&]() -> std::optional<Loan> {
        const double r = logUniform(random, rateLow, rateHigh);
        const double balance = logUniform(random, 100, 1e6);
        // (1 + r)^x = 1 / excess: the excess of the payment over the first
        // interest, relative to that interest, between (1 + r)^-600 and 1 %.
        // Below 1e-9 the rounding of the first months decides whole months
        // of the count (the margin passes 0.5) and nothing is compared.
        const double smallest = std::exp(-600 * std::log1p(r)) * 1.01;
        const double excess = logUniform(random, std::max(smallest, 1e-9), 1e-2);
        const double payment = r * balance * (1 + excess);
        if (!paysOff(r, balance, payment) || closedFormMonths(r, balance, payment) > 600)
            return std::nullopt;
        return Loan{r, balance, payment};
    });
}

void TestCrossCheck::zeroRateCountIsBalanceOverPayment_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<double>("balanceLow");
    QTest::addColumn<double>("balanceHigh");

    QTest::newRow("household balances") << quint64(21) << 100.0 << 1e6;
    QTest::newRow("tiny balances") << quint64(22) << 1e-200 << 1e-3;
    QTest::newRow("huge balances") << quint64(23) << 1e9 << 1e250;
}

void TestCrossCheck::zeroRateCountIsBalanceOverPayment()
{
    QFETCH(quint64, seed);
    QFETCH(double, balanceLow);
    QFETCH(double, balanceHigh);

    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> targetMonths(0.01, 599.99);
    compareLoans(3000, 2900, [&]() -> std::optional<Loan> {
        const double balance = logUniform(random, balanceLow, balanceHigh);
        const double payment = balance / targetMonths(random);
        if (balance / payment > 600)
            return std::nullopt;
        return Loan{0, balance, payment};
    });
}

// Whole-number payments and balances that are exact multiples of them: every
// balance on the way is a whole number, exact in a double, so the last
// payment lands on exactly 0 and the count is exactly the multiple.
void TestCrossCheck::zeroRateWholeMultiples()
{
    std::mt19937_64 random(31);
    std::uniform_int_distribution<std::int64_t> payments(1, std::int64_t(1) << 40);
    std::uniform_int_distribution<int> multiples(1, 600);
    for (int i = 0; i < 3000; ++i) {
        const auto payment = static_cast<double>(payments(random));
        const int multiple = multiples(random);
        const double balance = payment * multiple;
        const int months = std::get<MonthCount>(FixedPayoff(*platform, 0, balance, payment, 0));
        QVERIFY2(months == multiple, qPrintable(QStringLiteral("%1 / %2 took %3 months")
                                                   .arg(balance, 0, 'g', 17)
                                                   .arg(payment, 0, 'g', 17)
                                                   .arg(months)));
    }
    QVERIFY(platform->messages().empty());
    qInfo("3000 whole multiples compared");
}

QTEST_GUILESS_MAIN(TestCrossCheck)
#include "tst_crosscheck.moc"
