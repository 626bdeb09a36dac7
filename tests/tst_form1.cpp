// The main window as created: controls, geometry, tab order, fonts, pictures.
// Runs at scale 1 and again with QT_SCALE_FACTOR=2, where every figure in
// device-independent pixels must stay the same.
#include "dialogfont.h"
#include "form1.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <memory>

namespace {

const char* const description =
    "This Calculator can help you determine the amount of time it will take to pay off any given "
    "debt. It also will show you how much you end up actually paying in interest per month towards "
    "your overall debt. Disclaimer: This calculator is not intended to be advice from us in "
    "determining how to pay off ones debt. How much you put towards any debt you owe is a personal "
    "choice.";

// The text a control shows: caption, box text or the list's items.
QString shownText(const QWidget* widget)
{
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->pixmap().isNull() ? label->text() : QStringLiteral("<picture>");
    if (auto* box = qobject_cast<const QLineEdit*>(widget))
        return box->text();
    if (auto* button = qobject_cast<const QPushButton*>(widget))
        return button->text();
    if (auto* frame = qobject_cast<const QGroupBox*>(widget))
        return frame->title();
    if (auto* list = qobject_cast<const QComboBox*>(widget)) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        return items.join(QLatin1Char('|'));
    }
    return {};
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { form.reset(); }

    void windowSettings();
    void controls_data();
    void controls();
    void startsEmptyWithoutSelection();
    void tabOrder();
    void captionsFitTheirLabels_data();
    void captionsFitTheirLabels();
    void titleFont();
    void accessibleNames_data();
    void accessibleNames();
    void drawsAtTheScreensScale();
    void bannerIsTheDrawingForTheDensity_data();
    void bannerIsTheDrawingForTheDensity();

private:
    template <typename T = QWidget>
    T* find(const char* name) const
    {
        return form->findChild<T*>(QLatin1String(name));
    }

    std::unique_ptr<QWidget> form;
};

void TestForm1::init()
{
    form = createForm1({});
}

void TestForm1::windowSettings()
{
    QCOMPARE(form->objectName(), "Form1");
    QCOMPARE(form->windowTitle(), "Corvatta");
    QCOMPARE(form->size(), QSize(433, 489));
    // Fixed size: the user cannot resize it.
    QCOMPARE(form->minimumSize(), QSize(433, 489));
    QCOMPARE(form->maximumSize(), QSize(433, 489));
    // Title bar with icon, caption and Close only.
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(flags & Qt::CustomizeWindowHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(form->windowIcon().availableSizes().contains(QSize(32, 32)));
    QCOMPARE(QFontInfo(form->font()).family(), dialogFont().family());
    // 18 controls, no more.
    int controls = 0;
    for (QObject* child : form->findChildren<QWidget*>()) {
        const QString name = child->objectName();
        controls += name.startsWith(QLatin1String("Text")) ||
                    name.startsWith(QLatin1String("Label")) ||
                    name.startsWith(QLatin1String("Command")) || name == QLatin1String("Combo1") ||
                    name == QLatin1String("Frame1") || name == QLatin1String("Image1");
    }
    QCOMPARE(controls, 18);
}

void TestForm1::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");

    // Twips / 15; inside Frame1 positions count from the frame's outer corner.
    const auto row = [](const char* name, const char* kind, const char* container,
                        const QString& text, QRect geometry) {
        QTest::newRow(name) << name << kind << container << text << geometry;
    };
    row("Frame1", "QGroupBox", "Form1", "Corvatta ", {8, 128, 417, 353});
    row("Text1", "QLineEdit", "Frame1", "", {248, 120, 153, 19});
    row("Text2", "QLineEdit", "Frame1", "", {248, 152, 153, 19});
    row("Text3", "QLineEdit", "Frame1", "", {248, 184, 153, 19});
    row("Combo1", "QComboBox", "Frame1", "Fixed|Declining Minimum", {248, 216, 153, 21});
    row("Command1", "QPushButton", "Frame1", "Compute", {248, 248, 57, 25});
    row("Command2", "QPushButton", "Frame1", "Reset", {344, 248, 57, 25});
    row("Text4", "QLineEdit", "Frame1", "", {248, 288, 153, 19});
    row("Text5", "QLineEdit", "Frame1", "", {248, 320, 153, 19});
    row("Label8", "QLabel", "Frame1", description, {16, 24, 385, 73});
    row("Label6", "QLabel", "Frame1", "Number of months to erase this debt :", {16, 320, 193, 21});
    row("Label3", "QLabel", "Frame1", "Interest you pay every month :", {16, 288, 201, 13});
    row("Label5", "QLabel", "Frame1", "Are you making \"Fixed\" or \"Declining Minimum\" payments ?",
        {16, 216, 209, 29});
    row("Label4", "QLabel", "Frame1", "What is your remaining principale balance ?",
        {16, 184, 217, 13});
    row("Label2", "QLabel", "Frame1", "What percentage interest are you paying ?",
        {16, 152, 217, 13});
    row("Label1", "QLabel", "Frame1", "What is your monthly payment ?", {16, 120, 198, 21});
    row("Image1", "QLabel", "Form1", "<picture>", {56, 8, 326, 36});
    row("Label7", "QLabel", "Form1", "Corvatta", {88, 80, 265, 33});
}

void TestForm1::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, container);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);

    QWidget* control = form->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->metaObject()->className(), kind);
    QCOMPARE(control->parentWidget()->objectName(), container);
    QCOMPARE(shownText(control), text);
    QCOMPARE(control->geometry(), geometry);

    if (auto* label = qobject_cast<QLabel*>(control); label && name != QLatin1String("Image1")) {
        // Opaque, wrapping at words, left and top, fixed: never grows.
        QVERIFY(label->autoFillBackground());
        QVERIFY(label->wordWrap());
        QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        // Neither Enter nor Esc presses a button.
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
    if (qobject_cast<QGroupBox*>(control)) {
        // The Windows style draws the caption in the frame's top line;
        // Fusion, the usual style here, would put it above.
        QCOMPARE(control->style()->metaObject()->className(), "QWindowsStyle");
    }
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
        // The result boxes are as editable as the input boxes.
        QVERIFY(!box->isReadOnly());
        QCOMPARE(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(box->maxLength(), 32767); // Qt's largest: no limit of the program's own
    }
}

void TestForm1::startsEmptyWithoutSelection()
{
    auto* list = find<QComboBox>("Combo1");
    QVERIFY(!list->isEditable());
    QCOMPARE(list->currentIndex(), -1);
    QCOMPARE(list->currentText(), QString());
    auto* banner = find<QLabel>("Image1");
    QVERIFY(!banner->hasScaledContents());
    QCOMPARE(banner->pixmap().size(), QSize(326, 36));
    QCOMPARE(banner->focusPolicy(), Qt::NoFocus);
    // Text1 has the focus from the start; once the window is shown, its first
    // control in tab order (Text1 as well) would get it anyway.
    QCOMPARE(form->focusWidget(), find("Text1"));
}

void TestForm1::tabOrder()
{
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QCOMPARE(QApplication::focusWidget(), find("Text1"));

    const QStringList forward{"Text2",    "Text3", "Combo1", "Command1",
                              "Command2", "Text4", "Text5",  "Text1"};
    QStringList visited;
    for (int i = 0; i < forward.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, forward);

    visited.clear();
    for (int i = 0; i < forward.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        visited << QApplication::focusWidget()->objectName();
    }
    const QStringList backward{"Text5",  "Text4", "Command2", "Command1",
                               "Combo1", "Text3", "Text2",    "Text1"};
    QCOMPARE(visited, backward);
}

void TestForm1::captionsFitTheirLabels_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8"})
        QTest::newRow(name) << name;
}

void TestForm1::captionsFitTheirLabels()
{
    QFETCH(QString, name);
    auto* label = form->findChild<QLabel*>(name);
    const QFontMetrics metrics(label->font());
    const QRect room = label->contentsRect();
    const QRect needed = metrics.boundingRect(QRect(room.topLeft(), QSize(room.width(), 10000)),
                                              Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                              label->text());
    QVERIFY2(needed.height() <= room.height(),
             qPrintable(QStringLiteral("needs %1 px of height, has %2")
                            .arg(needed.height())
                            .arg(room.height())));
    QVERIFY2(needed.width() <= room.width(),
             qPrintable(QStringLiteral("needs %1 px of width, has %2")
                            .arg(needed.width())
                            .arg(room.width())));
    // The labels are laid out for one font: make sure it is the one in use
    // and not a fallback with other metrics.
    if (name != QLatin1String("Label7"))
        QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("Liberation Sans"));
}

void TestForm1::titleFont()
{
    const QFont font = find("Label7")->font();
    QCOMPARE(font.family(), "MS Sans Serif");
    QCOMPARE(font.pointSize(), 18);
    QCOMPARE(font.weight(), QFont::Bold);
    QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
    QCOMPARE(font.styleHint(), QFont::SansSerif);
    QCOMPARE(find("Label7")->palette().color(QPalette::WindowText), QColor(Qt::black));
    // Every other control keeps the window's font.
    QCOMPARE(find("Label1")->font(), dialogFont());
    QCOMPARE(find("Text1")->font(), dialogFont());
}

void TestForm1::accessibleNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("Text1") << "Text1" << "What is your monthly payment ?";
    QTest::newRow("Text2") << "Text2" << "What percentage interest are you paying ?";
    QTest::newRow("Text3") << "Text3" << "What is your remaining principale balance ?";
    QTest::newRow("Combo1") << "Combo1"
                            << "Are you making \"Fixed\" or \"Declining Minimum\" payments ?";
    QTest::newRow("Text4") << "Text4" << "Interest you pay every month :";
    QTest::newRow("Text5") << "Text5" << "Number of months to erase this debt :";
}

void TestForm1::accessibleNames()
{
    QFETCH(QString, name);
    QFETCH(QString, spoken);
    QAccessibleInterface* accessible =
        QAccessible::queryAccessibleInterface(form->findChild<QWidget*>(name));
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), spoken);
}

void TestForm1::drawsAtTheScreensScale()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const qreal scale = form->devicePixelRatio();
    QCOMPARE(scale, qEnvironmentVariableIntValue("QT_SCALE_FACTOR") == 2 ? 2.0 : 1.0);
    const QPixmap shot = form->grab();
    QCOMPARE(shot.size(), QSize(433, 489) * scale);
    QCOMPARE(find("Image1")->grab().size(), QSize(326, 36) * scale);

    // What is drawn, not only how much: the window drawn at the other scale
    // (2 on a scale-1 screen, 1 on a scale-2 screen) must match the screen's
    // picture once the double-size one is brought down to 433 x 489. Text and
    // line edges are smoothed differently at each scale and may land a pixel
    // apart, so a pixel matches when it is within 64 per channel of a pixel
    // at most one away.
    const qreal otherScale = 3 - scale;
    QPixmap other(QSize(433, 489) * otherScale);
    other.setDevicePixelRatio(otherScale);
    form->render(&other);
    const QImage single =
        (scale == 2 ? other : shot).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage halved = (scale == 2 ? shot : other)
                              .toImage()
                              .convertToFormat(QImage::Format_RGB32)
                              .scaled(433, 489, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const auto near = [](QRgb a, QRgb b) {
        return qAbs(qRed(a) - qRed(b)) <= 64 && qAbs(qGreen(a) - qGreen(b)) <= 64 &&
               qAbs(qBlue(a) - qBlue(b)) <= 64;
    };
    int differing = 0;
    for (int y = 0; y < 489; ++y) {
        for (int x = 0; x < 433; ++x) {
            bool matched = false;
            for (int dy = -1; dy <= 1 && !matched; ++dy)
                for (int dx = -1; dx <= 1 && !matched; ++dx)
                    matched = halved.valid(x + dx, y + dy) &&
                              near(single.pixel(x, y), halved.pixel(x + dx, y + dy));
            differing += !matched;
        }
    }
    // 40 to 60 differ, in the bold title's strokes. A caption drawn two pixels
    // off adds some 100, the banner two pixels off some 900.
    QVERIFY2(differing <= 100, qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
}

// The banner is the picture drawn for the density it lands on, not the
// 326 x 36 one enlarged: pixel for pixel the 1x or the 2x drawing at a
// whole ratio, the 2x one brought down at 1.5.
void TestForm1::bannerIsTheDrawingForTheDensity_data()
{
    QTest::addColumn<qreal>("ratio"); // device pixels to a logical one; 0: the screen's

    QTest::newRow("on the screen") << 0.0;
    QTest::newRow("rendered at 1.5") << 1.5;
    QTest::newRow("rendered at 2") << 2.0;
}

void TestForm1::bannerIsTheDrawingForTheDensity()
{
    QFETCH(qreal, ratio);
    auto* banner = find("Image1");
    QPixmap shot;
    if (ratio == 0) {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        shot = banner->grab();
        ratio = form->devicePixelRatio();
    } else {
        shot = QPixmap(QSize(326, 36) * ratio);
        shot.setDevicePixelRatio(ratio);
        shot.fill(Qt::black);
        banner->render(&shot);
    }
    const QImage drawn = shot.toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(drawn.size(), QSize(326, 36) * ratio);
    const auto picture = [&drawn](const char* name) {
        return QImage(QLatin1String(name))
            .convertToFormat(QImage::Format_RGB32)
            .scaled(drawn.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    // The mean difference per channel, out of 255.
    const auto difference = [&drawn](const QImage& other) {
        qint64 sum = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                const QRgb a = drawn.pixel(x, y);
                const QRgb b = other.pixel(x, y);
                sum += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) +
                       qAbs(qBlue(a) - qBlue(b));
            }
        return double(sum) / (3.0 * drawn.width() * drawn.height());
    };
    const QImage expected = picture(ratio > 1 ? ":/banner@2x.jpg" : ":/banner.jpg");
    if (ratio == 1 || ratio == 2) {
        QCOMPARE(drawn, expected);
    } else {
        // Brought down by the painter's filter rather than QImage's: the two
        // differ by under 1 on average.
        const double off = difference(expected);
        QVERIFY2(off < 2, qPrintable(QStringLiteral("%1 from the 2x drawing").arg(off)));
    }
    // The 1x drawing enlarged is some 10 away, well outside that, and so
    // the checks above tell the two apart.
    if (ratio > 1)
        QVERIFY(difference(picture(":/banner.jpg")) > 5);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
