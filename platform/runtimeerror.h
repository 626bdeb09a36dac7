#pragma once

#include <stdexcept>

// The one failure kind of a computation: text that is not a number, an
// overflow, a division by zero or an invalid operation. Only the Compute
// handler catches it, and it never asks which failure it was.
class RuntimeError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
