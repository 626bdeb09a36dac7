#pragma once

// The resource id of the banner picture (a JPEG, RCDATA) in the Windows
// program file.
#define CORVATTA_BANNER_RESOURCE 101
