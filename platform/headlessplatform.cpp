#include "headlessplatform.h"

#include "paymentkinds.h"

#include <cassert>

namespace {

std::size_t slot(Control control)
{
    return static_cast<std::size_t>(control);
}

} // namespace

HeadlessPlatform::HeadlessPlatform(const QLocale& locale) : LocalePlatform(locale) {}

void HeadlessPlatform::CreateMainWindow(const WindowEvents& events)
{
    texts_ = {};
    events_ = events;
    shown_ = false;
}

void HeadlessPlatform::RaiseLoad()
{
    if (events_.load)
        events_.load();
}

void HeadlessPlatform::ShowMainWindow()
{
    shown_ = true;
}

void HeadlessPlatform::DeliverClick(Control button)
{
    const auto& handler = button == Control::Command1   ? events_.computeClick
                          : button == Control::Command2 ? events_.resetClick
                                                        : std::function<void()>{};
    if (handler)
        handler();
}

std::string HeadlessPlatform::GetText(Control control) const
{
    return texts_[slot(control)];
}

void HeadlessPlatform::SetText(Control control, std::string_view text)
{
    texts_[slot(control)] = std::string(text);
}

void HeadlessPlatform::SelectItem(Control control, int index)
{
    assert(control == Control::Combo1 && index >= 0 &&
           static_cast<std::size_t>(index) < paymentKinds.size());
    texts_[slot(control)] = std::string(paymentKinds[static_cast<std::size_t>(index)]);
}

void HeadlessPlatform::ShowMessage(std::string_view text)
{
    messages_.emplace_back(text);
    if (onMessage)
        onMessage(text);
}

void HeadlessPlatform::EndOnClose() {}
