#!/usr/bin/env bash
# bench/run.sh [NAME]: runs the benchmark NAME (bench/NAME.sh), or all of them. Each prints
# its figure as its last line: "NAME: <figure> (target <goal>)".
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
export NOTAVO_BENCH_BUILD=${NOTAVO_BENCH_BUILD:-$root/build-bench}

"$root/scripts/install-deps.sh" bench

build() {
    cmake -S "$root" -B "$NOTAVO_BENCH_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DNOTAVO_BUILD_TESTS=OFF -DNOTAVO_BUILD_BENCH=ON >/dev/null
    cmake --build "$NOTAVO_BENCH_BUILD" -j "$(nproc)" >/dev/null
}

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for script in "$here"/*.sh; do
        name=$(basename "$script" .sh)
        [ "$name" = run ] || names+=("$name")
    done
fi
build
for name in "${names[@]}"; do
    [ -f "$here/$name.sh" ] || { echo "no benchmark named $name" >&2; exit 2; }
    bash "$here/$name.sh"
done
