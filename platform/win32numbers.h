#pragma once

#include "numbertext.h"

// The decimal point and digit grouping of a Windows locale; by default the
// user's own regional settings, with whatever they changed in them.
NumberFormat windowsNumberFormat(const wchar_t* localeName = nullptr);
