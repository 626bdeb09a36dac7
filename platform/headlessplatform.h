#pragma once

#include "localeplatform.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

// The platform without a window: box texts live in memory, messages are
// recorded in the order shown, and numbers follow whichever locale it is
// given. Used by the tests and benchmarks, and by anything that wants the
// calculation without a screen.
class HeadlessPlatform final : public LocalePlatform
{
public:
    explicit HeadlessPlatform(const QLocale& locale = QLocale(QLocale::English,
                                                              QLocale::UnitedStates));

    void CreateMainWindow(const WindowEvents& events) override;
    void RaiseLoad() override;
    void ShowMainWindow() override;
    void DeliverClick(Control button) override;

    std::string GetText(Control control) const override;
    // Combo1 takes any text here, as if the payment kind came from elsewhere.
    void SetText(Control control, std::string_view text) override;
    void SelectItem(Control control, int index) override;

    void ShowMessage(std::string_view text) override;

    void EndOnClose() override;

    const std::vector<std::string>& messages() const { return messages_; }
    void clearMessages() { messages_.clear(); }
    bool isShown() const { return shown_; }

    // Runs as each message is shown, while the "box" is open.
    std::function<void(std::string_view)> onMessage;

private:
    std::array<std::string, 8> texts_;
    WindowEvents events_;
    std::vector<std::string> messages_;
    bool shown_ = false;
};
