// The Compute handler's trap, on the in-memory platform; what the handlers do
// through the real window is behaviourcases.h, run by tst_mainwindow.
#include "handlers.h"
#include "headlessplatform.h"
#include "startup.h"

#include <QTest>

#include <stdexcept>

class TestHandlers : public QObject
{
    Q_OBJECT

private slots:
    void otherFailuresPassThroughTheTrap();
};

void TestHandlers::otherFailuresPassThroughTheTrap()
{
    // The trap is for the computation's own failure only. Anything else, here
    // thrown by the platform while it shows the limit message, goes on up.
    HeadlessPlatform platform(QLocale(QLocale::English, QLocale::UnitedStates));
    startProgram(platform);
    platform.onMessage = [](std::string_view) { throw std::logic_error("not the computation's"); };
    platform.SetText(Control::Text1, "10");
    platform.SetText(Control::Text2, "18");
    platform.SetText(Control::Text3, "1000");
    QVERIFY_THROWS_EXCEPTION(std::logic_error, platform.DeliverClick(Control::Command1));
}

QTEST_GUILESS_MAIN(TestHandlers)
#include "tst_handlers.moc"
