#include "form1.h"

#include "dialogfont.h"
#include "ui_form1.h"

#include <QStyleFactory>

Form1::Form1(const WindowEvents& events, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::Form1>())
{
    // The font is set before the controls are made, so they are laid out
    // once, in it, rather than first in the toolkit's default font.
    setFont(dialogFont());
    ui->setupUi(this);

    // A fixed border with the icon, the caption and a Close button only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    // The frame's caption sits in its top edge, as in the classic dialog
    // look; Fusion would put it above the frame line instead.
    frameStyle.reset(QStyleFactory::create(QStringLiteral("Windows")));
    ui->Frame1->setStyle(frameStyle.get());

    // The title asks for MS Sans Serif; where that is missing, any plain
    // sans-serif of the same size and weight stands in. Its text is black
    // whatever the colour scheme.
    QFont titleFont = ui->Label7->font();
    titleFont.setStyleHint(QFont::SansSerif);
    ui->Label7->setFont(titleFont);
    QPalette titlePalette = ui->Label7->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::black);
    ui->Label7->setPalette(titlePalette);

    ui->Text1->setFocus();

    connect(ui->Command1, &QPushButton::clicked, this, [handler = events.computeClick] {
        if (handler)
            handler();
    });
    connect(ui->Command2, &QPushButton::clicked, this, [handler = events.resetClick] {
        if (handler)
            handler();
    });
}

Form1::~Form1() = default;

std::unique_ptr<QWidget> createForm1(const WindowEvents& events)
{
    return std::make_unique<Form1>(events);
}
