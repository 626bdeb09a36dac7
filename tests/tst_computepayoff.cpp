// The compute driver against the in-memory platform, for the payment kind
// texts that the window's list cannot hold. What it computes from what is
// typed is behaviourcases.h, run through every build's window.
#include "compute.h"
#include "headlessplatform.h"

#include <QTest>

class TestComputePayoff : public QObject
{
    Q_OBJECT

private slots:
    void onlyExactFixedMeansFixed_data();
    void onlyExactFixedMeansFixed();
};

namespace {

std::string averageFor(const char* kind)
{
    HeadlessPlatform platform(QLocale(QLocale::English, QLocale::UnitedStates));
    platform.SetText(Control::Text1, "100");
    platform.SetText(Control::Text2, "18");
    platform.SetText(Control::Text3, "1000");
    platform.SetText(Control::Combo1, kind);
    ComputePayoff(platform);
    return platform.GetText(Control::Text4) + " over " + platform.GetText(Control::Text5);
}

} // namespace

void TestComputePayoff::onlyExactFixedMeansFixed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("lower case") << "fixed";
    QTest::newRow("trailing blank") << "Fixed ";
    QTest::newRow("empty") << "";
}

void TestComputePayoff::onlyExactFixedMeansFixed()
{
    QFETCH(QString, kind);
    // Fixed and declining payments give different results for these inputs.
    const std::string declining = averageFor("Declining Minimum");
    QVERIFY(declining != averageFor("Fixed"));
    QCOMPARE(averageFor(qPrintable(kind)), declining);
}

QTEST_GUILESS_MAIN(TestComputePayoff)
#include "tst_computepayoff.moc"
