#pragma once

#include "localeplatform.h"

#include <QLocale>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class QWidget;

// The platform on Qt Widgets. The window itself is built by the factory it is
// given (the program's form), and its controls are then found by their
// object names. Message boxes carry the application's display name as title.
class QtPlatform final : public LocalePlatform
{
public:
    // Builds the main window with its controls and binds the click handlers.
    using WindowFactory = std::function<std::unique_ptr<QWidget>(const WindowEvents&)>;

    explicit QtPlatform(WindowFactory factory, const QLocale& locale = QLocale::system());
    ~QtPlatform() override;

    void CreateMainWindow(const WindowEvents& events) override;
    void RaiseLoad() override;
    void ShowMainWindow() override;
    void DeliverClick(Control button) override;

    std::string GetText(Control control) const override;
    void SetText(Control control, std::string_view text) override;
    void SelectItem(Control control, int index) override;

    void ShowMessage(std::string_view text) override;

    void EndOnClose() override;

    QWidget* window() const { return window_.get(); }

private:
    QWidget* control(Control control) const;

    WindowFactory factory_;
    std::unique_ptr<QWidget> window_;
    std::array<QPointer<QWidget>, 8> controls_;
    std::function<void()> load_;
};
