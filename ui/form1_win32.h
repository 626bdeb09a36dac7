#pragma once

#include "win32platform.h"

// Builds the calculator's window from the layout table with standard Win32
// controls, and binds the two button clicks to their handlers. For
// Win32Platform.
Win32Window createForm1Win32(const WindowEvents& events);
