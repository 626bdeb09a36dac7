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
    const wchar_t* const locales[] = {L"en-US", L"de-DE", L"en-IN"};
    return {nullptr, L"Corvatta", windowsNumberFormat(locales[static_cast<int>(region)])};
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

    return wintest::finish();
}
