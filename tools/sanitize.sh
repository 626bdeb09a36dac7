#!/bin/sh
# The Linux test suite built with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan (the asan preset); any sanitizer report fails the test it
# happens in. Only the project's own code is instrumented: Qt and the C++
# library are not, so faults inside them go unseen (their leaks are still
# reported, as LeakSanitizer watches every allocation; tools/lsan.supp).
exec "$(dirname "$0")/../build.sh" test asan
