#pragma once

#include <QFont>

// The font every control but the title uses. The layout's question labels are
// 13 px high and sized for a compact 8 pt sans-serif; Liberation Sans (metric
// compatible with Arial) fits every caption, where the usual 9 pt DejaVu Sans
// cuts several of them off.
QFont dialogFont();
