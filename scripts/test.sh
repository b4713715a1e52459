#!/usr/bin/env bash
# Installs what the project needs, builds it, and runs every test twice: in a
# plain build and in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer. Fails on any failing test or sanitizer report,
# and on any compiler warning (both builds treat warnings as errors).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/check-format.sh"

jobs=$(nproc)
"$top/scripts/build.sh" build -DTARVOLIN_WERROR=ON
(cd "$top/build" && ctest --output-on-failure -j "$jobs")

export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1:detect_leaks=1:exitcode=99"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
"$top/scripts/build.sh" build-asan -DTARVOLIN_SANITIZE=ON -DTARVOLIN_BENCHMARKS=OFF -DTARVOLIN_WERROR=ON
(cd "$top/build-asan" && ctest --output-on-failure -j "$jobs")
echo "All tests passed, plain and under the sanitizers."
