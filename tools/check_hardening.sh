#!/bin/sh
# Checks that a built program carries the hardening CORVATTA_HARDEN asks for,
# by reading its ELF headers, dynamic section and symbols with readelf.
#   tools/check_hardening.sh build/app/corvatta
# Prints PASS or FAIL for each check and exits non-zero if any fails.
#
#   PIE        ELF type DYN with the PIE flag in DT_FLAGS_1
#   RELRO      a GNU_RELRO segment
#   BIND_NOW   DT_FLAGS BIND_NOW or DT_FLAGS_1 NOW (so RELRO covers the GOT)
#   NX stack   a GNU_STACK segment without the execute flag
#   canary     __stack_chk_fail referenced (-fstack-protector-strong)
#   fortify    a fortified libc call (__*_chk) referenced. A program in which
#              the compiler never knew a buffer's size has none even when
#              built with _FORTIFY_SOURCE; then the debug information must
#              show that every compile unit that includes <stdio.h> also went
#              through glibc's fortify header bits/stdio2.h, which glibc only
#              includes when _FORTIFY_SOURCE is on and optimising.
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 <binary>" >&2
    exit 2
fi
binary=$1
if [ ! -f "$binary" ]; then
    echo "$binary: no such file" >&2
    exit 2
fi
command -v readelf >/dev/null 2>&1 || "$(dirname "$0")/ensure_packages.sh" binutils

failures=0
report() { # check result detail
    printf '%-9s %s  %s\n' "$1" "$2" "$3"
    [ "$2" = PASS ] || failures=$((failures + 1))
}

header=$(readelf -hW "$binary")
segments=$(readelf -lW "$binary")
dynamic=$(readelf -dW "$binary")
symbols=$(readelf --dyn-syms -sW "$binary")

type=$(printf '%s\n' "$header" | sed -n 's/^ *Type: *\([A-Z]*\).*/\1/p')
flags1=$(printf '%s\n' "$dynamic" | sed -n 's/.*(FLAGS_1) *Flags: *//p')
flags=$(printf '%s\n' "$dynamic" | sed -n 's/.*(FLAGS) *//p')

case " $flags1 " in
*" PIE "*) pie=yes ;;
*) pie=no ;;
esac
if [ "$type" = DYN ] && [ $pie = yes ]; then
    report PIE PASS "type $type, FLAGS_1: $flags1"
else
    report PIE FAIL "type ${type:-?}, FLAGS_1: ${flags1:-none}"
fi

if printf '%s\n' "$segments" | grep -q '^ *GNU_RELRO '; then
    report RELRO PASS "GNU_RELRO segment present"
else
    report RELRO FAIL "no GNU_RELRO segment"
fi

case " $flags $flags1 " in
*" BIND_NOW "* | *" NOW "*) report BIND_NOW PASS "FLAGS: ${flags:-none}; FLAGS_1: ${flags1:-none}" ;;
*) report BIND_NOW FAIL "FLAGS: ${flags:-none}; FLAGS_1: ${flags1:-none}" ;;
esac

# The flags column of the GNU_STACK line: R, W and E letters (E = executable).
stack=$(printf '%s\n' "$segments" | awk '$1 == "GNU_STACK" { f = ""; for (i = 7; i < NF; i++) f = f $i; print f }')
if [ -z "$stack" ]; then
    report "NX stack" FAIL "no GNU_STACK segment (the stack would be executable)"
elif printf '%s' "$stack" | grep -q E; then
    report "NX stack" FAIL "GNU_STACK flags $stack"
else
    report "NX stack" PASS "GNU_STACK flags $stack"
fi

if printf '%s\n' "$symbols" | grep -q ' __stack_chk_fail\(@\|$\)'; then
    report canary PASS "__stack_chk_fail referenced"
else
    report canary FAIL "__stack_chk_fail not referenced"
fi

checked=$(printf '%s\n' "$symbols" | awk '{ print $8 }' | sed 's/@.*//' |
    grep -E '^__[a-z0-9_]+_chk$' | grep -v '^__stack_chk' | sort -u | tr '\n' ' ' | sed 's/ $//' || true)
if [ -n "$checked" ]; then
    report fortify PASS "fortified calls: $checked"
else
    # Per compile unit of the line tables: does it name stdio.h, stdio2.h?
    units=$(readelf --debug-dump=rawline "$binary" 2>/dev/null | awk '
        /^ *Offset: / { if (n) print n, s, f; n++; s = 0; f = 0 }
        /[): ]stdio\.h$/ { s = 1 }
        /[): ]stdio2\.h$/ { f = 1 }
        END { if (n) print n, s, f }')
    with_stdio=$(printf '%s\n' "$units" | awk '$2 == 1' | wc -l)
    unfortified=$(printf '%s\n' "$units" | awk '$2 == 1 && $3 == 0' | wc -l)
    if [ -z "$units" ] || [ "$with_stdio" -eq 0 ]; then
        report fortify FAIL "no __*_chk calls, and no debug information to show fortification"
    elif [ "$unfortified" -gt 0 ]; then
        report fortify FAIL "no __*_chk calls; $unfortified of $with_stdio units built without _FORTIFY_SOURCE"
    else
        report fortify PASS "no call needed a __*_chk check; all $with_stdio units that include <stdio.h> were built with _FORTIFY_SOURCE"
    fi
fi

if [ $failures -gt 0 ]; then
    echo "Hardening: $failures check(s) failed for $binary"
    exit 1
fi
echo "Hardening: all checks passed for $binary"
