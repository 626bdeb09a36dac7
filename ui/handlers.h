#pragma once

#include "platform.h"

#include <array>
#include <string_view>
#include <utility>

// The window's three event handlers. They hold no state: everything they
// read or change is in the window, reached through the platform.

// Selects the first payment kind, "Fixed".
void FormLoad(Platform& platform);

// The box Compute asks for when it is empty or exactly "0", and how, in the
// order the boxes are looked at.
inline constexpr std::array<std::pair<Control, std::string_view>, 3> missingInputMessages{{
    {Control::Text1, "Please enter this debt's current payment monthly amount"},
    {Control::Text2, "Please enter this debt's annual interest rate"},
    {Control::Text3, "Please enter this debt's current balance"},
}};

// Asks for the first of payment, rate and balance that is empty or exactly
// "0"; otherwise computes, and a computation that fails ends silently with
// every box as it was.
void ComputeClick(Platform& platform);

// Empties all five text boxes; the payment kind stays.
void ResetClick(Platform& platform);

// The three handlers, bound to one platform.
WindowEvents bindHandlers(Platform& platform);
