#pragma once

#include "platform.h"

#include <QStyle>
#include <QWidget>

#include <memory>

// The calculator's one window, built from the layout table in form1layout.h:
// its controls, texts, geometry and tab order. This class adds the Qt side
// of it (title-bar buttons, the dialog font, the title's fallback font) and
// binds the two button clicks to their handlers.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(const WindowEvents& events, QWidget* parent = nullptr);
    ~Form1() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private slots:
    void showIcon();

private:
    std::unique_ptr<QStyle> frameStyle;
    bool iconSent = false;
};

// Builds the window for QtPlatform.
std::unique_ptr<QWidget> createForm1(const WindowEvents& events);
