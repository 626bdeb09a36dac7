#include "handlers.h"

#include "compute.h"
#include "runtimeerror.h"

void FormLoad(Platform& platform)
{
    platform.SelectItem(Control::Combo1, 0);
}

void ComputeClick(Platform& platform)
{
    // Exact text comparisons: " 0", "00" and "0.0" are not missing.
    for (const auto& [box, message] : missingInputMessages) {
        const std::string text = platform.GetText(box);
        if (text.empty() || text == "0") {
            platform.ShowMessage(message);
            return;
        }
    }
    try {
        ComputePayoff(platform);
    } catch (const RuntimeError&) {
        // Text that is no number, an overflow or a division by zero: the
        // computation just stops. Both result boxes still hold what they
        // held, because they are written only after all the arithmetic.
    }
}

void ResetClick(Platform& platform)
{
    for (const Control box : textBoxes)
        platform.SetText(box, "");
}

WindowEvents bindHandlers(Platform& platform)
{
    return {
        [&platform] { FormLoad(platform); },
        [&platform] { ComputeClick(platform); },
        [&platform] { ResetClick(platform); },
    };
}
