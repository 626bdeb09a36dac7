#pragma once

#include "domplatform.h"

// Binds the calculator's window to the elements the page already holds
// (written from the layout table when the site was built), in the state a
// window has when created: the boxes keep whatever was typed before the
// program ran, and the list has no item selected. For DomPlatform.
DomWindow bindForm1Dom();
