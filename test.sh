#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test headless,
# once normally and once under AddressSanitizer and UndefinedBehaviorSanitizer.
# NOTAVO_DEPS=ci also installs Firefox ESR, mingw-w64 and wine for the browser and Windows checks.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh "${NOTAVO_DEPS:-test}"

jobs=$(nproc)
build() {  # build folder, extra CMake options...
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNOTAVO_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}
run_tests() {
    ctest --test-dir "$1" --output-on-failure -j "$jobs"
}

build build
run_tests build
# The Win32 browser-window walk, built with mingw-w64 and run under wine (skipped without them,
# unless NOTAVO_REQUIRE_WINE=1).
tests/platform/windows/run-wine-tests.sh build/wine

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
build build-asan -DNOTAVO_SANITIZE=ON
run_tests build-asan
