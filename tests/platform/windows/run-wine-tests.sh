#!/usr/bin/env bash
# Builds the Win32 browser-window walk with mingw-w64 and runs its test under wine.
# Usage: tests/platform/windows/run-wine-tests.sh [build folder]
# Without mingw-w64 or wine it prints a SKIP line and exits 0; with NOTAVO_REQUIRE_WINE=1
# (as in CI) a missing tool is a failure.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${1:-$root/build-wine}
cxx=x86_64-w64-mingw32-g++-posix

missing=
command -v "$cxx" >/dev/null || missing="$missing g++-mingw-w64-x86-64-posix"
command -v wine >/dev/null || missing="$missing wine"
if [ -n "$missing" ]; then
    if [ "${NOTAVO_REQUIRE_WINE:-0}" = 1 ]; then
        echo "wine tests: missing$missing" >&2
        exit 1
    fi
    echo "SKIP wine tests: not installed:$missing"
    exit 0
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)  # wine takes only an absolute prefix
"$cxx" -std=c++20 -O1 -Wall -Wextra -pedantic -Werror -static \
    -I"$root/src" \
    "$root/src/platform/browserrules.cpp" \
    "$root/src/platform/windows/browserwindowwalk.cpp" \
    "$here/tst_browserwindowwalk.cpp" \
    -o "$out/tst_browserwindowwalk.exe" -luser32

export WINEPREFIX=${WINEPREFIX:-$out/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
if [ ! -f "$WINEPREFIX/.notavo-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.notavo-ready"
fi
# A Chinese locale makes the ANSI code page 936, as on the program's home systems.
env LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 wine "$out/tst_browserwindowwalk.exe"
