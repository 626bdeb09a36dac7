#pragma once

// A few lines of test harness for the Windows test programs, which run under
// Wine without Qt: checks that report file, line and values, and a closing
// "N passed, N failed" line; the exit code is the number of failures.

#include <cstdio>
#include <sstream>
#include <string>

namespace wintest {

struct Tally
{
    int passed = 0;
    int failed = 0;
    std::string test;
};

inline Tally& tally()
{
    static Tally t;
    return t;
}

inline bool report(bool ok, const char* what, const std::string& detail, const char* file, int line)
{
    if (ok) {
        ++tally().passed;
    } else {
        ++tally().failed;
        std::printf("FAIL %s: %s:%d: %s%s\n", tally().test.c_str(), file, line, what,
                    detail.c_str());
        std::fflush(stdout);
    }
    return ok;
}

template <typename A, typename B>
bool equal(const A& actual, const B& expected, const char* what, const char* file, int line)
{
    const bool ok = actual == expected;
    std::ostringstream detail;
    if (!ok)
        detail << "\n    actual:   " << actual << "\n    expected: " << expected;
    return report(ok, what, detail.str(), file, line);
}

inline int finish()
{
    std::printf("%d passed, %d failed\n", tally().passed, tally().failed);
    return tally().failed;
}

} // namespace wintest

// A test: sets the name that failures are reported under.
#define TEST(name) wintest::tally().test = (name)
#define CHECK(condition) wintest::report((condition), #condition, "", __FILE__, __LINE__)
#define CHECK_EQ(actual, expected)                                                                 \
    wintest::equal((actual), (expected), #actual " == " #expected, __FILE__, __LINE__)
