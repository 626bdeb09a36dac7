// Number conversions in a Windows locale's regional settings, held to the
// same table of cases as the Linux build.
#include "numbercases.h"
#include "runtimeerror.h"
#include "win32numbers.h"
#include "win32platform.h"
#include "wintest.h"

namespace {

Win32Platform platformFor(Region region)
{
    return {nullptr, L"Corvatta",
            windowsNumberFormat(region == Region::English ? L"en-US" : L"de-DE")};
}

} // namespace

int wmain()
{
    for (const ReadCase& c : readCases) {
        TEST(c.name);
        const Win32Platform platform = platformFor(c.region);
        try {
            const double value = platform.TextToDouble(c.text);
            CHECK(c.readable) && CHECK_EQ(value, c.value);
        } catch (const RuntimeError&) {
            CHECK(!c.readable);
        }
    }
    for (const WriteCase& c : writeCases) {
        TEST(c.name);
        const Win32Platform platform = platformFor(c.region);
        CHECK_EQ(platform.NumberToText(c.value), c.text);
        // What is shown reads back as the same number.
        CHECK_EQ(platform.NumberToText(platform.TextToDouble(c.text)), c.text);
    }

    TEST("grouping from the regional settings");
    // English and German group by threes; India's format puts a group of
    // three next to the point and twos further left (12,34,567).
    CHECK_EQ(windowsNumberFormat(L"en-US").groupSeparator, ",");
    CHECK_EQ(windowsNumberFormat(L"de-DE").groupSeparator, ".");
    const NumberFormat india = windowsNumberFormat(L"hi-IN");
    CHECK_EQ(india.groupSize, 3);
    CHECK_EQ(india.higherGroupSize, 2);
    CHECK(readNumber("12,34,567.5", india) == 1234567.5);
    return wintest::finish();
}
