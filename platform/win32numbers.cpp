#include "win32numbers.h"

#include "utf16.h"

#include <windows.h>

#include <cwchar>

namespace {

std::wstring localeInfo(const wchar_t* localeName, LCTYPE type)
{
    wchar_t buffer[16] = {};
    const int length = GetLocaleInfoEx(localeName, type, buffer, 16);
    return length > 1 ? std::wstring(buffer, static_cast<std::size_t>(length - 1)) : L"";
}

} // namespace

NumberFormat windowsNumberFormat(const wchar_t* localeName)
{
    NumberFormat format;
    const std::wstring decimal = localeInfo(localeName, LOCALE_SDECIMAL);
    if (!decimal.empty())
        format.decimalPoint = toUtf8(decimal);
    format.groupSeparator = toUtf8(localeInfo(localeName, LOCALE_STHOUSAND));

    // "3;0" groups by threes all the way; "3;2;0" puts a three next to the
    // decimal point and twos further left; "0" groups nothing.
    const std::wstring grouping = localeInfo(localeName, LOCALE_SGROUPING);
    wchar_t* rest = nullptr;
    const long first = std::wcstol(grouping.c_str(), &rest, 10);
    long higher = first;
    if (*rest == L';') {
        const long second = std::wcstol(rest + 1, nullptr, 10);
        if (second > 0)
            higher = second;
    }
    if (first <= 0)
        format.groupSeparator.clear();
    else {
        format.groupSize = static_cast<int>(first);
        format.higherGroupSize = static_cast<int>(higher);
    }
    return format;
}
