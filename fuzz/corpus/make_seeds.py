#!/usr/bin/env python3
"""Writes the fuzzers' seed inputs into fuzz/corpus/<target>/.

fuzz_localenumbers: a locale byte (0 en_US, 1 de_DE, 2 fr_FR, 3 de_CH,
4 sv_SE, 5 he_IL), then a number text; its first 8 bytes double as a double.
fuzz_compute: a byte for payment kind (% 3: Fixed, Declining Minimum, the
fourth text) and locale ((byte // 3) % 6), then payment|rate|balance|kind.
"""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))

EN, DE, FR, CH, SV, HE = range(6)
FIXED, DECLINING, FREE = range(3)

numbers = {
    "en_grouped": bytes([EN]) + b"1,234.5",
    "en_exponent": bytes([EN]) + b"-1.5E-05",
    "en_spaces": bytes([EN]) + b"  12  ",
    "de_grouped": bytes([DE]) + "1.234,5".encode(),
    "de_exponent": bytes([DE]) + "1,23456789012346E+17".encode(),
    "fr_narrow_nbsp": bytes([FR]) + "1\u202f234,5".encode(),
    "ch_apostrophe": bytes([CH]) + "1\u2019234.5".encode(),
    "sv_unicode_minus": bytes([SV]) + "\u221212,5".encode(),
    "he_negative": bytes([HE]) + "-12.5".encode(),
    "largest_double": bytes([EN]) + struct.pack("<d", 1.7976931348623157e308),
    "smallest_subnormal": bytes([DE]) + struct.pack("<d", 5e-324),
    "not_a_number": bytes([EN]) + b"nan",
    "beyond_range": bytes([SV]) + b"1E+400",
}


def compute(kind, locale, *texts):
    return bytes([locale * 3 + kind]) + "|".join(texts).encode()


computes = {
    "fixed_11_months": compute(FIXED, EN, "100", "18", "1000"),
    "declining_33_months": compute(DECLINING, EN, "100", "18", "1000"),
    "past_the_limit": compute(FIXED, EN, "10", "18", "1000"),
    "comma_locale": compute(FIXED, DE, "100", "18,5", "1.000"),
    "space_grouping": compute(DECLINING, FR, "100", "0,18", "1\u202f000"),
    "apostrophe_grouping": compute(FIXED, CH, "250", "7.5", "12\u2019000"),
    "unicode_minus_rate": compute(FIXED, SV, "100", "\u221218", "1000"),
    "right_to_left": compute(DECLINING, HE, "100", "18", "1000"),
    "free_kind_text": compute(FREE, EN, "100", "18", "1000", "fixed"),
    "missing_rate": compute(FIXED, EN, "100", "0", "1000"),
    "missing_payment": compute(FIXED, EN, "", "18", "1000"),
    "declining_zero_balance": compute(DECLINING, EN, "100", "18", "0.0"),
    "huge_rate_and_balance": compute(FIXED, EN, "1.7E+308", "-1E+308", "1E+308"),
    # One month's interest of 1.7976931348623153E+308: written as
    # 1.79769313486232E+308, just past the largest double.
    "average_past_range": compute(
        FIXED, EN, "1.7976931348623157E+308", "1E+308", "2157.2317618347784"),
}

for target, seeds in (("fuzz_localenumbers", numbers), ("fuzz_compute", computes)):
    folder = os.path.join(here, target)
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
