#pragma once

#include "platform.h"

// The window's three event handlers. They hold no state: everything they
// read or change is in the window, reached through the platform.

// Selects the first payment kind, "Fixed".
void FormLoad(Platform& platform);

// Asks for the first of payment, rate and balance that is empty or exactly
// "0"; otherwise computes, and a computation that fails ends silently with
// every box as it was.
void ComputeClick(Platform& platform);

// Empties all five text boxes; the payment kind stays.
void ResetClick(Platform& platform);

// The three handlers, bound to one platform.
WindowEvents bindHandlers(Platform& platform);
