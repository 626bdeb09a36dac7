#pragma once

#include "domplatform.h"

// Builds the calculator's window from the layout table as HTML controls on
// the page, hidden until the platform shows it, and keeps it centred and,
// on a screen narrower than the window, scaled down as a whole. For
// DomPlatform.
DomWindow createForm1Dom();
