// The real window, driven with keyboard and mouse as a person would.
#include "application.h"
#include "dialogfont.h"
#include "form1.h"
#include "qtplatform.h"
#include "startup.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// What a message box showed, read while it was open.
struct ShownBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    int buttons = 0;
    bool okIsDefault = false;
    bool modal = false;
    QFont font;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadsBeforeShowing();
    void computesWhatIsTyped_data();
    void computesWhatIsTyped();
    void missingInputShowsAMessageBox();
    void limitShowsTwoMessageBoxes();
    void enterAndEscapeDoNothing();
    void resetEmptiesEveryBox();
    void closingEndsTheProgram();

private:
    template <typename T = QWidget>
    T* find(const char* name) const
    {
        return platform->window()->findChild<T*>(QLatin1String(name));
    }
    void type(const char* box, const QString& text);
    // Runs every few milliseconds while a test runs, also inside a message
    // box's own event loop: answers an open box with Enter, recording what it
    // showed. A box the test does not expect fails the test with its text.
    void watchForMessageBoxes();
    // From here on the test expects message boxes.
    void answerMessageBoxes() { boxesExpected = true; }

    std::unique_ptr<QtPlatform> platform;
    QList<ShownBox> shown;
    QTimer boxWatch;
    bool boxesExpected = false;
    bool loadedWhileHidden = false;
};

void TestMainWindow::initTestCase()
{
    setUpApplication();
    connect(&boxWatch, &QTimer::timeout, this, &TestMainWindow::watchForMessageBoxes);
    boxWatch.setInterval(10);
}

void TestMainWindow::init()
{
    shown.clear();
    boxesExpected = false;
    loadedWhileHidden = false;
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^Unexpected message box")));
    boxWatch.start();
    // Qt would end the program on the last window's close by itself; the
    // program's own start-up must be what switches that on.
    QApplication::setQuitOnLastWindowClosed(false);
    // Record whether the load selected "Fixed" before the window was shown.
    const auto factory = [this](const WindowEvents& events) {
        std::unique_ptr<QWidget> window = createForm1(events);
        auto* list = window->findChild<QComboBox*>(QStringLiteral("Combo1"));
        QWidget* raw = window.get();
        connect(list, &QComboBox::currentIndexChanged, this,
                [this, raw](int index) { loadedWhileHidden = index == 0 && !raw->isVisible(); },
                Qt::SingleShotConnection);
        return window;
    };
    platform = std::make_unique<QtPlatform>(factory, QLocale(QLocale::English, QLocale::UnitedStates));
    startProgram(*platform);
    QWidget* window = platform->window();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void TestMainWindow::cleanup()
{
    boxWatch.stop();
    platform.reset();
}

void TestMainWindow::type(const char* box, const QString& text)
{
    auto* edit = find<QLineEdit>(box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void TestMainWindow::watchForMessageBoxes()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return;
    ShownBox seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.buttons = int(box->buttons().size());
    seen.okIsDefault = box->defaultButton() == box->button(QMessageBox::Ok);
    seen.modal = box->isModal();
    seen.font = box->font();
    shown << seen;
    if (!boxesExpected)
        qWarning("Unexpected message box: %s", qPrintable(seen.text));
    QTest::keyClick(box, Qt::Key_Enter);
}

void TestMainWindow::loadsBeforeShowing()
{
    QVERIFY(loadedWhileHidden);
    QCOMPARE(find<QComboBox>("Combo1")->currentText(), "Fixed");
    QCOMPARE(QApplication::focusWidget(), find("Text1"));
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5"})
        QCOMPARE(find<QLineEdit>(name)->text(), QString());
}

void TestMainWindow::computesWhatIsTyped_data()
{
    QTest::addColumn<int>("downPresses");
    QTest::addColumn<QString>("average");
    QTest::addColumn<QString>("months");
    QTest::newRow("fixed") << 0 << "$8.32933527851622" << "11";
    QTest::newRow("declining minimum, picked with Down") << 1 << "$4.96154793619089" << "33";
    // The list cannot be typed into or moved past its last item.
    QTest::newRow("Down twice stays on the last item") << 2 << "$4.96154793619089" << "33";
}

void TestMainWindow::computesWhatIsTyped()
{
    QFETCH(int, downPresses);
    QFETCH(QString, average);
    QFETCH(QString, months);

    type("Text1", QStringLiteral("100"));
    type("Text2", QStringLiteral("18"));
    type("Text3", QStringLiteral("1000"));
    auto* list = find<QComboBox>("Combo1");
    list->setFocus();
    QTest::keyClicks(list, QStringLiteral("xyz"));
    QCOMPARE(list->currentText(), "Fixed");
    for (int i = 0; i < downPresses; ++i)
        QTest::keyClick(list, Qt::Key_Down);

    QTest::mouseClick(find("Command1"), Qt::LeftButton);
    QCOMPARE(find<QLineEdit>("Text4")->text(), average);
    QCOMPARE(find<QLineEdit>("Text5")->text(), months);
    QVERIFY(shown.isEmpty());
}

void TestMainWindow::missingInputShowsAMessageBox()
{
    type("Text1", QStringLiteral("100"));
    type("Text2", QStringLiteral("0"));
    find<QLineEdit>("Text4")->setText(QStringLiteral("kept"));
    answerMessageBoxes();
    QTest::mouseClick(find("Command1"), Qt::LeftButton);

    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].title, "Corvatta");
    QCOMPARE(shown[0].text, "Please enter this debt's annual interest rate");
    QCOMPARE(shown[0].icon, QMessageBox::NoIcon);
    QCOMPARE(shown[0].buttons, 1);
    QVERIFY(shown[0].okIsDefault);
    QVERIFY(shown[0].modal);
    QCOMPARE(shown[0].font, dialogFont());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(find<QLineEdit>("Text4")->text(), "kept");
}

void TestMainWindow::limitShowsTwoMessageBoxes()
{
    type("Text1", QStringLiteral("10"));
    type("Text2", QStringLiteral("18"));
    type("Text3", QStringLiteral("1000"));
    answerMessageBoxes();
    QTest::mouseClick(find("Command1"), Qt::LeftButton);

    QCOMPARE(shown.size(), 2);
    for (const ShownBox& box : shown) {
        QCOMPARE(box.title, "Corvatta");
        QCOMPARE(box.text, "Number of payments exceeds 600. Please increase the minimum payment "
                           "percent and recalculate.");
    }
    QCOMPARE(find<QLineEdit>("Text4")->text(), "$0");
    QCOMPARE(find<QLineEdit>("Text5")->text(), "601");
}

void TestMainWindow::enterAndEscapeDoNothing()
{
    type("Text1", QStringLiteral("100"));
    type("Text2", QStringLiteral("18"));
    type("Text3", QStringLiteral("1000"));
    QTest::keyClick(find("Text3"), Qt::Key_Return);
    QTest::keyClick(find("Text3"), Qt::Key_Enter);
    QCOMPARE(find<QLineEdit>("Text4")->text(), QString());
    QTest::keyClick(platform->window(), Qt::Key_Escape);
    QCOMPARE(find<QLineEdit>("Text1")->text(), "100");
    QVERIFY(platform->window()->isVisible());
}

void TestMainWindow::resetEmptiesEveryBox()
{
    type("Text1", QStringLiteral("100"));
    type("Text2", QStringLiteral("18"));
    type("Text3", QStringLiteral("1000"));
    type("Text4", QStringLiteral("typed by hand"));
    find<QComboBox>("Combo1")->setCurrentIndex(1);
    QTest::mouseClick(find("Command1"), Qt::LeftButton);
    QCOMPARE(find<QLineEdit>("Text5")->text(), "33");

    // Space on the focused button clicks it, as a keyboard user would.
    find("Command2")->setFocus();
    QTest::keyClick(find("Command2"), Qt::Key_Space);
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5"})
        QCOMPARE(find<QLineEdit>(name)->text(), QString());
    QCOMPARE(find<QComboBox>("Combo1")->currentText(), "Declining Minimum");
    QCOMPARE(QApplication::focusWidget(), find("Command2"));
}

void TestMainWindow::closingEndsTheProgram()
{
    // Closing the only window ends the event loop, with no question asked.
    QTimer::singleShot(0, platform->window(), [this] { platform->window()->close(); });
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(99); }); // hung: fail, not hang
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!platform->window()->isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
