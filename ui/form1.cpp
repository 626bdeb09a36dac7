#include "form1.h"

#include "dialogfont.h"
#include "form1layout.h"

#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QIconEngine>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>

namespace {

// A compiled-in picture. Told its format, Qt loads that one decoder instead
// of asking every image plugin it has whether it knows the file.
QPixmap compiledIn(const QString& file, const char* format)
{
    QImageReader reader(file, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// The banner, painted from the picture drawn for the density it lands on:
// the 1x picture where a logical pixel is one device pixel, the 2x one
// anywhere denser (brought down smoothly at 1.5), always at its own 326 x 36
// logical size. The choice is made at paint time, so that it follows the
// window to a screen of another scale and holds when it is rendered into a
// picture of another density. The 2x picture is decoded the first time it is
// needed: a screen of one pixel per pixel never is.
class Banner : public QLabel
{
public:
    explicit Banner(QWidget* parent)
        : QLabel(parent), once(compiledIn(QStringLiteral(":/banner.bmp"), "bmp"))
    {
        // What the label reports as its picture: the one of natural size.
        setPixmap(once);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        // Device pixels to a logical one, whatever is painted on: the
        // screen, or a picture being rendered.
        const qreal density = painter.deviceTransform().m11();
        if (density > 1 && twice.isNull()) {
            twice = compiledIn(QStringLiteral(":/banner@2x.bmp"), "bmp");
            twice.setDevicePixelRatio(2);
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QRect(QPoint(0, 0), once.size()), density > 1 ? twice : once);
    }

private:
    QPixmap once;
    QPixmap twice;
};

// The window icon: the 32-pixel drawing and its larger ones. Each size asked
// for is made from the smallest drawing at least as large, and none is kept.
class IconDrawings final : public QIconEngine
{
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        int side = 32;
        while (side < 256 && (side < size.width() || side < size.height()))
            side *= 2;
        return QIcon(compiledIn(QStringLiteral(":/icons/%1.png").arg(side), "png"))
            .pixmap(size, 1, mode, state);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal density = painter->device()->devicePixelRatio();
        painter->drawPixmap(rect, pixmap(rect.size() * density, mode, state));
    }

    // None listed: each size is made when it is asked for.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {}; }
    QIconEngine* clone() const override { return new IconDrawings; }
};

QString qText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Twips to Qt's device-independent pixels, which Qt scales itself.
QRect pixels(const form1::Twips& twips)
{
    constexpr int p = form1::twipsPerPixel;
    return {twips.left / p, twips.top / p, twips.width / p, twips.height / p};
}

QWidget* createControl(const form1::ControlSettings& settings, QWidget* container)
{
    using form1::Kind;
    QWidget* control = nullptr;
    switch (settings.kind) {
    case Kind::Frame:
        control = new QGroupBox(qText(settings.caption), container);
        break;
    case Kind::TextBox:
        control = new QLineEdit(container);
        break;
    case Kind::DropDownList: {
        auto* list = new QComboBox(container);
        for (const std::string_view item : settings.items)
            list->addItem(qText(item));
        list->setCurrentIndex(-1);
        control = list;
        break;
    }
    case Kind::PushButton: {
        auto* button = new QPushButton(qText(settings.caption), container);
        button->setAutoDefault(false);
        control = button;
        break;
    }
    case Kind::Label: {
        auto* label = new QLabel(qText(settings.caption), container);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setAutoFillBackground(true);
        control = label;
        break;
    }
    case Kind::Image: {
        control = new Banner(container);
        break;
    }
    }
    control->setObjectName(qText(settings.name));
    control->setGeometry(pixels(settings.rect));
    if (!settings.accessibleName.empty())
        control->setAccessibleName(qText(settings.accessibleName));
    if (!settings.accessibleDescription.empty())
        control->setAccessibleDescription(qText(settings.accessibleDescription));
    if (const form1::Font* own = settings.font) {
        // Where MS Sans Serif is missing, any plain sans-serif of the same
        // size and weight stands in.
        QFont font(qText(own->family), own->points, own->bold ? QFont::Bold : QFont::Normal);
        font.setStyleHint(QFont::SansSerif);
        control->setFont(font);
        // Its text is black whatever the colour scheme.
        QPalette palette = control->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        control->setPalette(palette);
    }
    return control;
}

} // namespace

Form1::Form1(const WindowEvents& events, QWidget* parent) : QWidget(parent)
{
    // The font is set before the controls are made, so they are laid out
    // once, in it, rather than first in the toolkit's default font.
    setFont(dialogFont());
    setObjectName(qText(form1::window.name));
    setWindowTitle(qText(form1::window.caption));
    setFixedSize(form1::window.clientWidth / form1::twipsPerPixel,
                 form1::window.clientHeight / form1::twipsPerPixel);
    // A fixed border with the icon, the caption and a Close button only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    QWidget* frame = nullptr;
    for (const form1::ControlSettings& settings : form1::controls) {
        QWidget* control = createControl(settings, settings.inFrame ? frame : this);
        if (settings.kind == form1::Kind::Frame)
            frame = control;
    }
    Q_ASSERT(frame);

    // The frame's caption sits in its top edge, as in the classic dialog
    // look; Fusion would put it above the frame line instead.
    frameStyle.reset(QStyleFactory::create(QStringLiteral("Windows")));
    frame->setStyle(frameStyle.get());

    // Each box is announced by the label that names it; Tab visits the boxes,
    // the list and the buttons in tab-index order.
    QWidget* previous = nullptr;
    for (const form1::ControlSettings* stop : form1::tabStops()) {
        auto* control = findChild<QWidget*>(qText(stop->name));
        if (const form1::ControlSettings* label = form1::labelFor(stop->name))
            control->setAccessibleName(qText(label->caption));
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }
    findChild<QWidget*>(qText(form1::tabStops().front()->name))->setFocus();

    connect(findChild<QPushButton*>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            [handler = events.computeClick] {
                if (handler)
                    handler();
            });
    connect(findChild<QPushButton*>(QStringLiteral("Command2")), &QPushButton::clicked, this,
            [handler = events.resetClick] {
                if (handler)
                    handler();
            });
}

Form1::~Form1() = default;

void Form1::paintEvent(QPaintEvent*)
{
    // The icon goes to the window manager once the window is on the screen:
    // on X every size of it is made and sent at once, which the first
    // picture need not wait for.
    if (!iconSent) {
        iconSent = true;
        QMetaObject::invokeMethod(this, "showIcon", Qt::QueuedConnection);
    }
}

void Form1::showIcon()
{
    setWindowIcon(QIcon(new IconDrawings));
}

std::unique_ptr<QWidget> createForm1(const WindowEvents& events)
{
    return std::make_unique<Form1>(events);
}
