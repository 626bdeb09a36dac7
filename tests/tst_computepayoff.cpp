// The compute driver against the in-memory platform: texts in, texts out.
#include "compute.h"
#include "headlessplatform.h"
#include "runtimeerror.h"

#include <QTest>

#include <algorithm>
#include <memory>

class TestComputePayoff : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void workedExamples_data();
    void workedExamples();
    void rateRule_data();
    void rateRule();
    void onlyExactFixedMeansFixed_data();
    void onlyExactFixedMeansFixed();
    void commaLocale();
    void limitMessagesComeBeforeAnyOutput();
    void failureLeavesOutputsUntouched_data();
    void failureLeavesOutputsUntouched();

private:
    void enter(const char* payment, const char* rate, const char* balance, const char* kind);

    std::unique_ptr<HeadlessPlatform> platform;
};

void TestComputePayoff::init()
{
    platform = std::make_unique<HeadlessPlatform>(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestComputePayoff::enter(const char* payment, const char* rate, const char* balance,
                              const char* kind)
{
    platform->SetText(Control::Text1, payment);
    platform->SetText(Control::Text2, rate);
    platform->SetText(Control::Text3, balance);
    platform->SetText(Control::Combo1, kind);
}

void TestComputePayoff::workedExamples_data()
{
    QTest::addColumn<QString>("payment");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("balance");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("average");
    QTest::addColumn<QString>("months");
    QTest::addColumn<int>("messages");

    // 0.75 / 12 = 0.0625 a month; 91.40625 interest over 2 months.
    QTest::newRow("75 % a year, paid off in month 2")
        << "600" << "0.75" << "1000" << "Fixed" << "$45.703125" << "2" << 0;
    // 91.6226880636784 / 11 and 163.731081894299 / 33.
    QTest::newRow("18 % a year, fixed 100")
        << "100" << "18" << "1000" << "Fixed" << "$8.32933527851622" << "11" << 0;
    QTest::newRow("18 % a year, declining from 100")
        << "100" << "18" << "1000" << "Declining Minimum" << "$4.96154793619089" << "33" << 0;
    QTest::newRow("18 % a year, fixed 10: past the limit")
        << "10" << "18" << "1000" << "Fixed" << "$0" << "601" << 2;
    // Zero written another way than "0" is computed: no interest at all.
    QTest::newRow("rate 0.0") << "100" << "0.0" << "1000" << "Fixed" << "$0" << "10" << 0;
    QTest::newRow("payment 0.0 at zero rate: past the limit")
        << "0.0" << "0" << "1000" << "Fixed" << "$0" << "601" << 2;
    QTest::newRow("grouped balance, spaces around")
        << " 100 " << "18" << "1,000" << "Fixed" << "$8.32933527851622" << "11" << 0;
}

void TestComputePayoff::workedExamples()
{
    QFETCH(QString, payment);
    QFETCH(QString, rate);
    QFETCH(QString, balance);
    QFETCH(QString, kind);
    QFETCH(QString, average);
    QFETCH(QString, months);
    QFETCH(int, messages);

    enter(qPrintable(payment), qPrintable(rate), qPrintable(balance), qPrintable(kind));
    ComputePayoff(*platform);

    QCOMPARE(QString::fromStdString(platform->GetText(Control::Text4)), average);
    QCOMPARE(QString::fromStdString(platform->GetText(Control::Text5)), months);
    QCOMPARE(platform->messages().size(), std::size_t(messages));
}

void TestComputePayoff::rateRule_data()
{
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("average");

    // Balance 1000 paid off in one month by a payment of 2000, so the
    // average is the first month's interest: monthly rate * 1000.
    QTest::newRow("18 is a percentage") << "18" << "$15";         // 0.18 / 12 * 1000
    QTest::newRow("0.18 is a fraction") << "0.18" << "$15";       // 0.18 / 12 * 1000
    QTest::newRow("1 is one percent") << "1" << "$0.833333333333333"; // 0.01 / 12 * 1000
    QTest::newRow("0.99 is 99 %") << "0.99" << "$82.5";           // 0.99 / 12 * 1000
    QTest::newRow("0.5 is 50 %") << "0.5" << "$41.6666666666667"; // 0.5 / 12 * 1000
    QTest::newRow("100 is 100 %") << "100" << "$83.3333333333333"; // 1 / 12 * 1000
    // -18 is never divided by 100: -1.5 a month, interest -1500.
    QTest::newRow("negative rate is kept whole") << "-18" << "$-1500";
}

void TestComputePayoff::rateRule()
{
    QFETCH(QString, rate);
    QFETCH(QString, average);

    enter("2000", qPrintable(rate), "1000", "Fixed");
    ComputePayoff(*platform);
    QCOMPARE(QString::fromStdString(platform->GetText(Control::Text4)), average);
    QCOMPARE(platform->GetText(Control::Text5), "1");
}

void TestComputePayoff::onlyExactFixedMeansFixed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("declining minimum") << "Declining Minimum";
    QTest::newRow("lower case") << "fixed";
    QTest::newRow("trailing blank") << "Fixed ";
    QTest::newRow("empty") << "";
}

void TestComputePayoff::onlyExactFixedMeansFixed()
{
    QFETCH(QString, kind);
    enter("100", "18", "1000", qPrintable(kind));
    ComputePayoff(*platform);
    QCOMPARE(platform->GetText(Control::Text4), "$4.96154793619089");
    QCOMPARE(platform->GetText(Control::Text5), "33");
}

void TestComputePayoff::commaLocale()
{
    platform = std::make_unique<HeadlessPlatform>(QLocale(QLocale::German, QLocale::Germany));
    enter("100", "18", "1.000", "Fixed");
    ComputePayoff(*platform);
    QCOMPARE(platform->GetText(Control::Text4), "$8,32933527851622");
    QCOMPARE(platform->GetText(Control::Text5), "11");

    // 18,5 reads as 18.5: the same result as the point locale gives.
    enter("100", "18,5", "1000", "Fixed");
    ComputePayoff(*platform);
    const std::string commaResult = platform->GetText(Control::Text4);
    init();
    enter("100", "18.5", "1000", "Fixed");
    ComputePayoff(*platform);
    std::string pointResult = platform->GetText(Control::Text4);
    std::replace(pointResult.begin(), pointResult.end(), '.', ',');
    QCOMPARE(commaResult, pointResult);
}

void TestComputePayoff::limitMessagesComeBeforeAnyOutput()
{
    enter("10", "18", "1000", "Fixed");
    platform->SetText(Control::Text4, "earlier");
    platform->SetText(Control::Text5, "result");
    std::vector<std::string> shownWhileOpen;
    platform->onMessage = [&](std::string_view) {
        shownWhileOpen.push_back(platform->GetText(Control::Text4) +
                                 platform->GetText(Control::Text5));
    };
    ComputePayoff(*platform);
    QCOMPARE(shownWhileOpen, (std::vector<std::string>{"earlierresult", "earlierresult"}));
    QCOMPARE(platform->GetText(Control::Text4), "$0");
    QCOMPARE(platform->GetText(Control::Text5), "601");
}

void TestComputePayoff::failureLeavesOutputsUntouched_data()
{
    QTest::addColumn<QString>("payment");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("balance");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("messages");

    QTest::newRow("letters as payment") << "abc" << "18" << "1000" << "Fixed" << 0;
    QTest::newRow("letters as rate") << "100" << "x" << "1000" << "Fixed" << 0;
    QTest::newRow("letters as balance") << "100" << "18" << "lots" << "Fixed" << 0;
    QTest::newRow("only spaces") << "100" << "18" << "   " << "Fixed" << 0;
    QTest::newRow("infinity") << "inf" << "18" << "1000" << "Fixed" << 0;
    QTest::newRow("not a number") << "100" << "nan" << "1000" << "Fixed" << 0;
    QTest::newRow("beyond the double range") << "100" << "18" << "1E+400" << "Fixed" << 0;
    // No month is simulated, so the average is 0 / 0.
    QTest::newRow("fixed, balance 0.0") << "100" << "18" << "0.0" << "Fixed" << 0;
    QTest::newRow("fixed, negative balance") << "100" << "18" << "-5" << "Fixed" << 0;
    QTest::newRow("declining, negative balance")
        << "100" << "18" << "-5" << "Declining Minimum" << 0;
    // The payment share is 100 / 0.
    QTest::newRow("declining, balance 0.0") << "100" << "18" << "0.0" << "Declining Minimum" << 0;
    // 1E+308 / 12 a month on a balance of 1E+308: the first interest overflows.
    QTest::newRow("huge rate and balance") << "100" << "-1E+308" << "1E+308" << "Fixed" << 0;
    QTest::newRow("huge payment and rate")
        << "1.7E+308" << "-1E+308" << "1E+308" << "Declining Minimum" << 0;
}

void TestComputePayoff::failureLeavesOutputsUntouched()
{
    QFETCH(QString, payment);
    QFETCH(QString, rate);
    QFETCH(QString, balance);
    QFETCH(QString, kind);
    QFETCH(int, messages);

    enter(qPrintable(payment), qPrintable(rate), qPrintable(balance), qPrintable(kind));
    platform->SetText(Control::Text4, "$1.5");
    platform->SetText(Control::Text5, "7");
    QVERIFY_THROWS_EXCEPTION(RuntimeError, ComputePayoff(*platform));
    QCOMPARE(platform->GetText(Control::Text4), "$1.5");
    QCOMPARE(platform->GetText(Control::Text5), "7");
    QCOMPARE(platform->messages().size(), std::size_t(messages));
}

QTEST_GUILESS_MAIN(TestComputePayoff)
#include "tst_computepayoff.moc"
