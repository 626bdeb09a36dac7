#include "qtplatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>

#include <cassert>

namespace {

// Keeps a fixed-size window at its size. Window managers read the fixed size
// from the window's size hints, but weston's frames for X windows maximise on
// a double click of the title bar all the same; the window then asks for its
// own size back, which weston grants.
class FixedSizeKeeper final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) {
            auto* window = static_cast<QWidget*>(watched);
            const QSize fixed = window->minimumSize();
            if (fixed == window->maximumSize() && window->size() != fixed)
                window->resize(fixed);
        }
        return false;
    }
};

} // namespace

QtPlatform::QtPlatform(WindowFactory factory, const QLocale& locale)
    : LocalePlatform(locale), factory_(std::move(factory))
{
}

QtPlatform::~QtPlatform() = default;

void QtPlatform::CreateMainWindow(const WindowEvents& events)
{
    window_ = factory_(events);
    window_->installEventFilter(new FixedSizeKeeper(window_.get()));
    // Qt has no load event of its own: the platform raises it by calling the
    // bound handler between creation and showing.
    load_ = events.load;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const auto name = controlName(static_cast<Control>(i));
        controls_[i] = window_->findChild<QWidget*>(
            QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        assert(controls_[i]);
    }
}

void QtPlatform::RaiseLoad()
{
    if (load_)
        load_();
}

void QtPlatform::ShowMainWindow()
{
    window_->show();
}

void QtPlatform::DeliverClick(Control button)
{
    if (auto* b = qobject_cast<QAbstractButton*>(control(button)))
        b->click();
}

QWidget* QtPlatform::control(Control control) const
{
    return controls_[static_cast<std::size_t>(control)];
}

std::string QtPlatform::GetText(Control control) const
{
    QWidget* widget = this->control(control);
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        return box->text().toStdString();
    if (auto* list = qobject_cast<QComboBox*>(widget))
        return list->currentIndex() < 0 ? std::string() : list->currentText().toStdString();
    return {};
}

void QtPlatform::SetText(Control control, std::string_view text)
{
    auto* box = qobject_cast<QLineEdit*>(this->control(control));
    assert(box);
    box->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void QtPlatform::SelectItem(Control control, int index)
{
    auto* list = qobject_cast<QComboBox*>(this->control(control));
    assert(list);
    list->setCurrentIndex(index);
}

void QtPlatform::ShowMessage(std::string_view text)
{
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                    QMessageBox::Ok, window_.get());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

void QtPlatform::EndOnClose()
{
    QApplication::setQuitOnLastWindowClosed(true);
}
