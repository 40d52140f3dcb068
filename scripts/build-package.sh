#!/usr/bin/env bash
# Builds the Debian package from the release tree (build-release/, as ./run.sh builds it) and
# checks it with lintian, which must report no error and no missing hardening (relro, bindnow,
# fortify: cmake/NotavoOptions.cmake). Prints the package's path as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh "${NOTAVO_DEPS:-release}"  # ci and release both bring lintian
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOTAVO_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc)"
rm -f build-release/notavo_*.deb
(cd build-release && cpack -G DEB >/dev/null)
deb=$(ls build-release/notavo_*.deb)
echo "== lintian $deb"
lintian --info --display-info --fail-on error "$deb" | tee build-release/lintian.log
if grep -E '^[EWI]: .*hardening-no-' build-release/lintian.log; then
    echo "the program lacks hardening flags" >&2
    exit 1
fi
echo "$deb"
