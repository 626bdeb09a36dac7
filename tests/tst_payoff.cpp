// The two month-by-month simulations, called directly.
#include "behaviourcases.h"
#include "headlessplatform.h"
#include "payoff.h"
#include "runtimeerror.h"

#include <QTest>

#include <memory>

using Simulation = SimulationResult (*)(Platform&, double, double, double, std::int16_t);
Q_DECLARE_METATYPE(Simulation)

namespace {

// Shows a total interest to 15 significant digits, the precision the window
// shows, so expected figures can be written as they are printed.
QString fifteenDigits(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace

class TestPayoff : public QObject
{
    Q_OBJECT

private slots:
    void init() { platform = std::make_unique<HeadlessPlatform>(); }

    void monthsAndInterest_data();
    void monthsAndInterest();
    void passesTheLimit_data();
    void passesTheLimit();
    void decliningPaysAtLeastFifteen_data();
    void decliningPaysAtLeastFifteen();
    void negativeRateLowersTheBalanceFaster();
    void anySelectorButZeroAsksForInterest();
    void decliningWithZeroBalanceIsDivisionByZero();
    void overflowStopsTheSimulation_data();
    void overflowStopsTheSimulation();

private:
    std::unique_ptr<HeadlessPlatform> platform;
};

void TestPayoff::monthsAndInterest_data()
{
    QTest::addColumn<Simulation>("simulation");
    QTest::addColumn<double>("monthlyRate");
    QTest::addColumn<double>("balance");
    QTest::addColumn<double>("payment");
    QTest::addColumn<int>("months");
    QTest::addColumn<QString>("totalInterest");

    // Month 1: 0.0625 * 1000 = 62.5, balance 1000 - (600 - 62.5) = 462.5.
    // Month 2: 0.0625 * 462.5 = 28.90625, balance -108.59375. 62.5 + 28.90625.
    QTest::newRow("fixed, paid off in month 2")
        << Simulation(FixedPayoff) << 0.0625 << 1000.0 << 600.0 << 2 << "91.40625";
    // Month 1 interest 10, principal 1000: the balance reaches exactly 0.
    QTest::newRow("fixed, payment covers balance and interest")
        << Simulation(FixedPayoff) << 0.01 << 1000.0 << 1010.0 << 1 << "10";
    QTest::newRow("fixed, zero rate: ten whole payments")
        << Simulation(FixedPayoff) << 0.0 << 1000.0 << 100.0 << 10 << "0";
    QTest::newRow("fixed, balance of 0")
        << Simulation(FixedPayoff) << 0.015 << 0.0 << 100.0 << 0 << "0";
    QTest::newRow("fixed, negative balance")
        << Simulation(FixedPayoff) << 0.015 << -50.0 << 100.0 << 0 << "0";
    QTest::newRow("declining, negative balance")
        << Simulation(DecliningPayoff) << 0.015 << -50.0 << 100.0 << 0 << "0";
    // 15 / 1920 = 2^-7 exactly, so month 1's share is exactly 15 and pays 15;
    // from then on the share is below 15 and the payment stays 15.
    QTest::newRow("declining, share of exactly 15, zero rate")
        << Simulation(DecliningPayoff) << 0.0 << 1920.0 << 15.0 << 128 << "0";
    // Payment 0: the share is 0, so every month pays the minimum of 15.
    QTest::newRow("declining, payment of 0, zero rate")
        << Simulation(DecliningPayoff) << 0.0 << 1500.0 << 0.0 << 100 << "0";
}

void TestPayoff::monthsAndInterest()
{
    QFETCH(Simulation, simulation);
    QFETCH(double, monthlyRate);
    QFETCH(double, balance);
    QFETCH(double, payment);
    QFETCH(int, months);
    QFETCH(QString, totalInterest);

    const SimulationResult count = simulation(*platform, monthlyRate, balance, payment, 0);
    QVERIFY(std::holds_alternative<MonthCount>(count));
    QCOMPARE(std::get<MonthCount>(count), months);

    const SimulationResult interest = simulation(*platform, monthlyRate, balance, payment, 1);
    QVERIFY(std::holds_alternative<double>(interest));
    QCOMPARE(fifteenDigits(std::get<double>(interest)), totalInterest);

    QVERIFY(platform->messages().empty());
}

void TestPayoff::passesTheLimit_data()
{
    QTest::addColumn<Simulation>("simulation");
    QTest::addColumn<double>("monthlyRate");
    QTest::addColumn<double>("balance");
    QTest::addColumn<double>("payment");

    QTest::newRow("fixed, payment equal to the first interest")
        << Simulation(FixedPayoff) << 0.015 << 1000.0 << 15.0;
    QTest::newRow("fixed, payment of 0 at zero rate")
        << Simulation(FixedPayoff) << 0.0 << 1000.0 << 0.0;
    // Share 1 % of the balance (20, above the minimum) against 1.5 % interest.
    QTest::newRow("declining, share below the monthly rate")
        << Simulation(DecliningPayoff) << 0.015 << 2000.0 << 20.0;
}

void TestPayoff::passesTheLimit()
{
    QFETCH(Simulation, simulation);
    QFETCH(double, monthlyRate);
    QFETCH(double, balance);
    QFETCH(double, payment);

    QCOMPARE(std::get<MonthCount>(simulation(*platform, monthlyRate, balance, payment, 0)), 601);
    QCOMPARE(platform->messages().size(), 1u);
    QCOMPARE(std::get<double>(simulation(*platform, monthlyRate, balance, payment, 1)), 0.0);
    // Every call that passes the limit says so itself.
    QCOMPARE(platform->messages().size(), 2u);
    for (const std::string& message : platform->messages())
        QCOMPARE(message, messageText::limit);
}

void TestPayoff::decliningPaysAtLeastFifteen_data()
{
    QTest::addColumn<double>("balance");
    QTest::addColumn<double>("payment");

    // Shares of 1 % of a balance under 1500 stay below 15 all the way down.
    QTest::newRow("first payment already below 15") << 500.0 << 5.0;
    QTest::newRow("payment of 0") << 800.0 << 0.0;
}

void TestPayoff::decliningPaysAtLeastFifteen()
{
    QFETCH(double, balance);
    QFETCH(double, payment);

    // Paying 15 every month is the fixed simulation with a payment of 15.
    for (const std::int16_t selector : std::initializer_list<std::int16_t>{0, 1})
        QCOMPARE(DecliningPayoff(*platform, 0.015, balance, payment, selector),
                 FixedPayoff(*platform, 0.015, balance, 15.0, selector));
}

void TestPayoff::negativeRateLowersTheBalanceFaster()
{
    // Rate -1 % a month, payment 100: the balance after n months is
    // 0.99^n * (1000 + 10000) - 10000, first <= 0 at n = 10
    // (0.99^9 * 11000 = 10048.7, 0.99^10 * 11000 = 9948.2). The interest paid
    // is what the balance fell by beyond the payments:
    // (0.99^10 * 11000 - 10000) - 1000 + 10 * 100 = -51.7971749031...
    QCOMPARE(std::get<MonthCount>(FixedPayoff(*platform, -0.01, 1000, 100, 0)), 10);
    const double interest = std::get<double>(FixedPayoff(*platform, -0.01, 1000, 100, 1));
    QVERIFY2(qAbs(interest - -51.7971749031) < 1e-8, qPrintable(fifteenDigits(interest)));
}

void TestPayoff::anySelectorButZeroAsksForInterest()
{
    for (const std::int16_t selector : std::initializer_list<std::int16_t>{1, 2, -1, 32767}) {
        const SimulationResult result = FixedPayoff(*platform, 0.0625, 1000, 600, selector);
        QVERIFY(std::holds_alternative<double>(result));
        QCOMPARE(std::get<double>(result), 91.40625);
    }
}

void TestPayoff::decliningWithZeroBalanceIsDivisionByZero()
{
    QVERIFY_THROWS_EXCEPTION(RuntimeError, DecliningPayoff(*platform, 0.015, 0.0, 100, 0));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, DecliningPayoff(*platform, 0.015, 0.0, 0.0, 1));
    QVERIFY(platform->messages().empty());
}

void TestPayoff::overflowStopsTheSimulation_data()
{
    QTest::addColumn<Simulation>("simulation");
    QTest::addColumn<double>("monthlyRate");
    QTest::addColumn<double>("balance");
    QTest::addColumn<double>("payment");

    QTest::newRow("interest overflows") << Simulation(FixedPayoff) << 1e300 << 1e300 << 0.0;
    // The balance doubles every month until it leaves the double range.
    QTest::newRow("growing balance overflows") << Simulation(FixedPayoff) << 1.0 << 1e306 << 0.0;
    QTest::newRow("principal overflows") << Simulation(FixedPayoff) << -1.0 << 1e308 << 1.7e308;
    QTest::newRow("declining share overflows")
        << Simulation(DecliningPayoff) << 0.01 << 1e-300 << 1e300;
    // Each month's interest is 0.1 * 1e307 = 1e306, which the payment of
    // 1e306 just covers: the balance stays at 1e307 and every product and
    // difference stays finite, but the total interest, n * 1e306, passes the
    // largest double (1.797e308) in month 180, well before the limit.
    QTest::newRow("total interest overflows") << Simulation(FixedPayoff) << 0.1 << 1e307 << 1e306;
}

void TestPayoff::overflowStopsTheSimulation()
{
    QFETCH(Simulation, simulation);
    QFETCH(double, monthlyRate);
    QFETCH(double, balance);
    QFETCH(double, payment);

    QVERIFY_THROWS_EXCEPTION(RuntimeError, simulation(*platform, monthlyRate, balance, payment, 0));
    QVERIFY(platform->messages().empty());
}

QTEST_GUILESS_MAIN(TestPayoff)
#include "tst_payoff.moc"
