#pragma once

#include "runtimeerror.h"

#include <cmath>

// Double arithmetic that stops the computation the moment a step leaves the
// finite doubles: an overflow, a division by zero or an invalid operation.
// Underflow toward zero is no error.
namespace checked {

inline double finite(double value)
{
    if (!std::isfinite(value))
        throw RuntimeError("floating-point error");
    return value;
}

inline double add(double a, double b) { return finite(a + b); }
inline double sub(double a, double b) { return finite(a - b); }
inline double mul(double a, double b) { return finite(a * b); }
inline double div(double a, double b) { return finite(a / b); }

} // namespace checked
