#pragma once

#include "platform.h"

#include <QStyle>
#include <QWidget>

#include <memory>

namespace Ui {
class Form1;
}

// The calculator's one window. Its controls, texts, geometry and tab order
// come from form1.ui; this class adds what a form cannot hold (title-bar
// buttons, the dialog font, the title's fallback font) and binds the two
// button clicks to their handlers.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(const WindowEvents& events, QWidget* parent = nullptr);
    ~Form1() override;

private:
    std::unique_ptr<Ui::Form1> ui;
    std::unique_ptr<QStyle> frameStyle;
};

// Builds the window for QtPlatform.
std::unique_ptr<QWidget> createForm1(const WindowEvents& events);
