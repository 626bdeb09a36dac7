// The window's three handlers and start-up, on the in-memory platform.
#include "handlers.h"
#include "headlessplatform.h"
#include "startup.h"

#include <QTest>

#include <memory>
#include <stdexcept>

namespace {

const std::string paymentMessage = "Please enter this debt's current payment monthly amount";
const std::string rateMessage = "Please enter this debt's annual interest rate";
const std::string balanceMessage = "Please enter this debt's current balance";
const std::string limitMessage =
    "Number of payments exceeds 600. Please increase the minimum payment percent and recalculate.";

using Messages = std::vector<std::string>;

} // namespace

Q_DECLARE_METATYPE(Messages)

class TestHandlers : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void startsWithFixedSelected();
    void inputChecks_data();
    void inputChecks();
    void failedComputationLeavesEveryBox_data();
    void failedComputationLeavesEveryBox();
    void limitCaseShowsTheMessageTwice();
    void otherFailuresPassThroughTheTrap();
    void computeTwiceGivesTheSameResult();
    void resetEmptiesTheBoxesAndKeepsThePaymentKind();

private:
    void enter(const char* payment, const char* rate, const char* balance);
    std::string box(Control control) const { return platform->GetText(control); }

    std::unique_ptr<HeadlessPlatform> platform;
};

void TestHandlers::init()
{
    platform = std::make_unique<HeadlessPlatform>(QLocale(QLocale::English, QLocale::UnitedStates));
    startProgram(*platform);
}

void TestHandlers::enter(const char* payment, const char* rate, const char* balance)
{
    platform->SetText(Control::Text1, payment);
    platform->SetText(Control::Text2, rate);
    platform->SetText(Control::Text3, balance);
}

void TestHandlers::startsWithFixedSelected()
{
    QVERIFY(platform->isShown());
    QCOMPARE(box(Control::Combo1), "Fixed");
    for (const Control text : textBoxes)
        QCOMPARE(box(text), "");
    QVERIFY(platform->messages().empty());
}

void TestHandlers::inputChecks_data()
{
    QTest::addColumn<QString>("payment");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("balance");
    QTest::addColumn<Messages>("messages");
    QTest::addColumn<bool>("computed");

    QTest::newRow("all three empty: only the payment message")
        << "" << "" << "" << Messages{paymentMessage} << false;
    QTest::newRow("payment 0") << "0" << "18" << "1000" << Messages{paymentMessage} << false;
    QTest::newRow("rate 0, balance not looked at")
        << "100" << "0" << "" << Messages{rateMessage} << false;
    QTest::newRow("rate empty") << "100" << "" << "1000" << Messages{rateMessage} << false;
    QTest::newRow("balance 0") << "100" << "18" << "0" << Messages{balanceMessage} << false;
    QTest::newRow("balance empty") << "100" << "18" << "" << Messages{balanceMessage} << false;
    // Only the bare "0" counts as missing; other zeros go on to the next check.
    QTest::newRow("payment 00") << "00" << "" << "" << Messages{rateMessage} << false;
    QTest::newRow("payment 0.0") << "0.0" << "" << "" << Messages{rateMessage} << false;
    QTest::newRow("payment with a space before") << " 0" << "" << "" << Messages{rateMessage}
                                                 << false;
    QTest::newRow("payment with a space after") << "0 " << "" << "" << Messages{rateMessage}
                                                << false;
    QTest::newRow("payment -0") << "-0" << "" << "" << Messages{rateMessage} << false;
    QTest::newRow("negative numbers pass") << "-100" << "-18" << "-5" << Messages{} << false;
    QTest::newRow("all filled") << "100" << "18" << "1000" << Messages{} << true;
}

void TestHandlers::inputChecks()
{
    QFETCH(QString, payment);
    QFETCH(QString, rate);
    QFETCH(QString, balance);
    QFETCH(Messages, messages);
    QFETCH(bool, computed);

    enter(qPrintable(payment), qPrintable(rate), qPrintable(balance));
    platform->SetText(Control::Text4, "before");
    platform->SetText(Control::Text5, "before");
    platform->DeliverClick(Control::Command1);

    QCOMPARE(platform->messages(), messages);
    // A missing box changes nothing at all.
    QCOMPARE(QString::fromStdString(box(Control::Text1)), payment);
    QCOMPARE(QString::fromStdString(box(Control::Text2)), rate);
    QCOMPARE(QString::fromStdString(box(Control::Text3)), balance);
    QCOMPARE(box(Control::Text4) != "before", computed);
    if (computed) {
        QCOMPARE(box(Control::Text4), "$8.32933527851622");
        QCOMPARE(box(Control::Text5), "11");
    }
}

void TestHandlers::failedComputationLeavesEveryBox_data()
{
    QTest::addColumn<QString>("payment");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("balance");

    QTest::newRow("letters as balance") << "100" << "18" << "abc";
    QTest::newRow("only spaces as payment") << "  " << "18" << "1000";
    QTest::newRow("balance 0.0: no month, 0 / 0") << "100" << "18" << "0.0";
    QTest::newRow("overflow") << "100" << "-1E+308" << "1E+308";
}

void TestHandlers::failedComputationLeavesEveryBox()
{
    QFETCH(QString, payment);
    QFETCH(QString, rate);
    QFETCH(QString, balance);

    enter("100", "18", "1000");
    platform->DeliverClick(Control::Command1);
    QCOMPARE(box(Control::Text4), "$8.32933527851622");

    enter(qPrintable(payment), qPrintable(rate), qPrintable(balance));
    platform->DeliverClick(Control::Command1); // trapped: no message, no exception
    QVERIFY(platform->messages().empty());
    QCOMPARE(box(Control::Text4), "$8.32933527851622");
    QCOMPARE(box(Control::Text5), "11");
    QCOMPARE(QString::fromStdString(box(Control::Text3)), balance);
}

void TestHandlers::limitCaseShowsTheMessageTwice()
{
    enter("10", "18", "1000");
    platform->DeliverClick(Control::Command1);
    QCOMPARE(platform->messages(), (Messages{limitMessage, limitMessage}));
    QCOMPARE(box(Control::Text4), "$0");
    QCOMPARE(box(Control::Text5), "601");
}

void TestHandlers::otherFailuresPassThroughTheTrap()
{
    // The trap is for the computation's own failure only. Anything else, here
    // thrown by the platform while it shows the limit message, goes on up.
    platform->onMessage = [](std::string_view) { throw std::logic_error("not the computation's"); };
    enter("10", "18", "1000");
    QVERIFY_THROWS_EXCEPTION(std::logic_error, platform->DeliverClick(Control::Command1));
}

void TestHandlers::computeTwiceGivesTheSameResult()
{
    platform->SelectItem(Control::Combo1, 1);
    enter("100", "18", "1000");
    platform->DeliverClick(Control::Command1);
    QCOMPARE(box(Control::Text4), "$4.96154793619089");
    QCOMPARE(box(Control::Text5), "33");
    platform->DeliverClick(Control::Command1);
    QCOMPARE(box(Control::Text4), "$4.96154793619089");
    QCOMPARE(box(Control::Text5), "33");
}

void TestHandlers::resetEmptiesTheBoxesAndKeepsThePaymentKind()
{
    platform->SelectItem(Control::Combo1, 1);
    enter("100", "18", "1000");
    platform->DeliverClick(Control::Command1);
    QCOMPARE(box(Control::Text5), "33");

    platform->DeliverClick(Control::Command2);
    for (const Control text : textBoxes)
        QCOMPARE(box(text), "");
    QCOMPARE(box(Control::Combo1), "Declining Minimum");

    // On empty boxes it changes nothing and says nothing.
    platform->DeliverClick(Control::Command2);
    for (const Control text : textBoxes)
        QCOMPARE(box(text), "");
    QVERIFY(platform->messages().empty());
}

QTEST_GUILESS_MAIN(TestHandlers)
#include "tst_handlers.moc"
