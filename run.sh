#!/usr/bin/env bash
# Installs what is missing, builds Notavo and starts it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh run
# A release tree of its own, so that switching between ./run.sh and ./test.sh rebuilds nothing.
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOTAVO_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc)"
exec ./build-release/bin/Notavo "$@"
