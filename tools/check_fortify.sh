#!/bin/sh
# What hardening-check cannot tell of a built program: a stack that is not
# executable (it does not look), and _FORTIFY_SOURCE where no call had a
# size the compiler knew, so that no __*_chk call was made (it then reports
# "only unprotected functions found"). Fortification is then read from the
# debug information: every compile unit that includes <stdio.h> must also
# have gone through glibc's bits/stdio2.h, which glibc only includes when
# _FORTIFY_SOURCE is on and the build optimises.
#   tools/check_fortify.sh build/app/corvatta
set -eu
binary=$1
stack=$(readelf -lW "$binary" | awk '$1 == "GNU_STACK" { print $(NF - 1) }')
case $stack in
RW) echo "NX stack: GNU_STACK flags $stack" ;;
*) echo "NX stack: FAIL, GNU_STACK flags '${stack:-none}'"; exit 1 ;;
esac
if readelf --dyn-syms -W "$binary" | grep -q ' __[a-z0-9_]*_chk@'; then
    echo "fortify: fortified calls made"
    exit 0
fi
# Per compile unit of the line tables: does it name stdio.h, stdio2.h?
units=$(readelf --debug-dump=rawline "$binary" 2>/dev/null | awk '
    /^ *Offset: / { if (n) print s, f; n++; s = 0; f = 0 }
    /[): ]stdio\.h$/ { s = 1 }
    /[): ]stdio2\.h$/ { f = 1 }
    END { if (n) print s, f }')
with_stdio=$(printf '%s\n' "$units" | grep -c '^1' || true)
unfortified=$(printf '%s\n' "$units" | grep -c '^1 0' || true)
if [ "$with_stdio" -eq 0 ] || [ "$unfortified" -gt 0 ]; then
    echo "fortify: FAIL, $unfortified of $with_stdio units with <stdio.h> built without _FORTIFY_SOURCE"
    exit 1
fi
echo "fortify: all $with_stdio units that include <stdio.h> built with _FORTIFY_SOURCE"
