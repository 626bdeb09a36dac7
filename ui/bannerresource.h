#pragma once

// The resource ids of the banner's pictures (JPEGs, RCDATA) in the Windows
// program file: drawn at its natural size, and at twice that.
#define CORVATTA_BANNER_RESOURCE 101
#define CORVATTA_BANNER_2X_RESOURCE 102
