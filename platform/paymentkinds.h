#pragma once

#include <array>
#include <string_view>

// Combo1's items, in list order. The compute driver treats only the first,
// compared exactly, as fixed payments; any other text means declining ones.
inline constexpr std::array<std::string_view, 2> paymentKinds{"Fixed", "Declining Minimum"};
