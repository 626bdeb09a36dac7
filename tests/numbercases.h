#pragma once

// One table of number conversions every build must agree on, in English
// (1,234.5), German (1.234,5) and Indian English (12,34,567.5: three next to
// the point, twos further left) regional formats: through QLocale on Linux,
// the regional settings as Windows gives them, and Intl in the browser.

enum class Region
{
    English, // en-US
    German,  // de-DE
    India,   // en-IN
};

struct ReadCase
{
    const char* name;
    Region region;
    const char* text;
    bool readable;
    double value; // when readable
};

inline constexpr ReadCase readCases[] = {
    {"English, grouped", Region::English, "1,234,567.5", true, 1234567.5},
    {"English, group of two", Region::English, "12,34.5", false, 0},
    {"English, group of four", Region::English, "1,2345", false, 0},
    {"English, comma as decimal point", Region::English, "18,5", false, 0},
    {"English, grouping after the point", Region::English, "1.234,5", false, 0},
    {"English, separator first", Region::English, ",123", false, 0},
    {"English, separator last", Region::English, "123,", false, 0},
    {"English, spaces around", Region::English, "  18.5 ", true, 18.5},
    {"English, plus sign", Region::English, "+1,234", true, 1234},
    {"English, exponent", Region::English, "1.5E-05", true, 1.5e-5},
    {"English, no digits before the point", Region::English, ".5", true, 0.5},
    {"English, infinity", Region::English, "inf", false, 0},
    {"English, not a number", Region::English, "nan", false, 0},
    {"English, beyond a double", Region::English, "1E+400", false, 0},
    {"English, underflows to nothing", Region::English, "1E-400", false, 0},
    {"English, sign behind", Region::English, "5-", false, 0},
    {"German, comma decimal point", Region::German, "18,5", true, 18.5},
    {"German, grouped", Region::German, "12.345.678,9", true, 12345678.9},
    {"German, point as decimal point", Region::German, "1.2345", false, 0},
    {"German, grouping only", Region::German, "1.234", true, 1234},
    {"German, exponent", Region::German, "1,5E-05", true, 1.5e-5},
    {"German, English exponent form", Region::German, "1.5E3", false, 0},
    {"German, infinity", Region::German, "inf", false, 0},
    {"India, a lakh", Region::India, "1,00,000", true, 100000},
    {"India, grouped", Region::India, "12,34,567.5", true, 1234567.5},
    {"India, one group", Region::India, "1,234", true, 1234},
    {"India, threes throughout", Region::India, "1,234,567", false, 0},
    {"India, three in a higher group", Region::India, "123,456", false, 0},
    {"India, two next to the point", Region::India, "1,000,00", false, 0},
};

struct WriteCase
{
    const char* name;
    Region region;
    double value;
    const char* text;
};

inline constexpr WriteCase writeCases[] = {
    // 8.3293352785162182... rounded to 15 significant digits.
    {"English, 15 digits", Region::English, 8.329335278516218, "8.32933527851622"},
    {"English, a third", Region::English, 1.0 / 3, "0.333333333333333"},
    {"English, no grouping", Region::English, 1234567.25, "1234567.25"},
    {"English, negative", Region::English, -1.5, "-1.5"},
    // 10^15 needs 16 digits in plain form.
    {"English, exponent form", Region::English, 1e15, "1E+15"},
    {"English, small exponent form", Region::English, 0.00001, "1E-05"},
    {"English, zero", Region::English, 0.0, "0"},
    {"German, 15 digits", Region::German, 8.329335278516218, "8,32933527851622"},
    {"German, no grouping", Region::German, 1234567.25, "1234567,25"},
    {"German, exponent form", Region::German, 123456789012345678.0, "1,23456789012346E+17"},
    // Written without grouping in every format.
    {"India, no grouping", Region::India, 1234567.5, "1234567.5"},
};
