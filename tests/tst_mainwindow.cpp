// The real window, driven with keyboard and mouse as a person would.
#include "application.h"
#include "behaviourcases.h"
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
    QString results; // Text4 and Text5 behind the open box
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
    void behaviour_data();
    void behaviour();
    void listMovesOnlyWithArrows();
    void enterAndEscapeDoNothing();
    void spacePressesTheFocusedButton();
    void closingEndsTheProgram();

private:
    template <typename T = QWidget> T* find(const char* name) const
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

    void open(const QLocale& locale);

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
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^Unexpected message box")));
    boxWatch.start();
    open(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestMainWindow::open(const QLocale& locale)
{
    platform.reset();
    loadedWhileHidden = false;
    // Qt would end the program on the last window's close by itself; the
    // program's own start-up must be what switches that on.
    QApplication::setQuitOnLastWindowClosed(false);
    // Record whether the load selected "Fixed" before the window was shown.
    const auto factory = [this](const WindowEvents& events) {
        std::unique_ptr<QWidget> window = createForm1(events);
        auto* list = window->findChild<QComboBox*>(QStringLiteral("Combo1"));
        QWidget* raw = window.get();
        connect(
            list, &QComboBox::currentIndexChanged, this,
            [this, raw](int index) { loadedWhileHidden = index == 0 && !raw->isVisible(); },
            Qt::SingleShotConnection);
        return window;
    };
    platform = std::make_unique<QtPlatform>(factory, locale);
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
    seen.results = find<QLineEdit>("Text4")->text() + '|' + find<QLineEdit>("Text5")->text();
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

void TestMainWindow::behaviour_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(behaviourCases)); ++i)
        QTest::newRow(behaviourCases[i].name) << i;
}

// Each row typed and picked with the keyboard, the button clicked.
void TestMainWindow::behaviour()
{
    QFETCH(int, row);
    const BehaviourCase& c = behaviourCases[row];
    if (c.region == Region::German)
        open(QLocale(QLocale::German, QLocale::Germany));
    const char* inputs[] = {"Text1", "Text2", "Text3"};
    const char* typed[] = {c.payment, c.rate, c.balance};
    for (int i = 0; i < 3; ++i)
        type(inputs[i], QString::fromUtf8(typed[i]));
    auto* list = find<QComboBox>("Combo1");
    list->setFocus();
    for (int i = 0; i < int(c.kind); ++i)
        QTest::keyClick(list, Qt::Key_Down);
    find<QLineEdit>("Text4")->setText(QString::fromUtf8(untouched));
    find<QLineEdit>("Text5")->setText(QString::fromUtf8(untouched));
    answerMessageBoxes();
    for (int i = 0; i < c.presses; ++i)
        QTest::mouseClick(find(c.button == Button::Compute ? "Command1" : "Command2"),
                          Qt::LeftButton);

    QStringList texts;
    for (const ShownBox& box : std::as_const(shown)) {
        texts << box.text;
        QCOMPARE(box.title, "Corvatta");
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons, 1);
        QVERIFY(box.okIsDefault);
        QVERIFY(box.modal);
        QCOMPARE(box.font, dialogFont());
        // Nothing is written while a box is open.
        QCOMPARE(box.results, QString::fromUtf8(untouched) + '|' + QString::fromUtf8(untouched));
    }
    QStringList expected;
    const Messages messages = messagesOf(c);
    for (int i = 0; i < messages.count; ++i)
        expected << QString::fromUtf8(messages.text[i]);
    QCOMPARE(texts, expected);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(find<QLineEdit>("Text4")->text(), QString::fromUtf8(c.average));
    QCOMPARE(find<QLineEdit>("Text5")->text(), QString::fromUtf8(c.months));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(find<QLineEdit>(inputs[i])->text(), QString::fromUtf8(inputAfter(c, typed[i])));
    QCOMPARE(list->currentIndex(), int(c.kind));
}

void TestMainWindow::listMovesOnlyWithArrows()
{
    // The list cannot be typed into or moved past its last item.
    auto* list = find<QComboBox>("Combo1");
    list->setFocus();
    QTest::keyClicks(list, QStringLiteral("xyz"));
    QCOMPARE(list->currentIndex(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), 1);
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

void TestMainWindow::spacePressesTheFocusedButton()
{
    type("Text1", QStringLiteral("100"));
    find("Command2")->setFocus();
    QTest::keyClick(find("Command2"), Qt::Key_Space);
    QCOMPARE(find<QLineEdit>("Text1")->text(), QString());
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
