#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and fuzzes each for SECONDS (default 30), two at a
# time. New inputs go to a scratch folder; the seed corpora in the tree are only read.
# Usage: fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(profilefile pagesource gbkcodec rtfdocument titlederivation)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DNOTAVO_BUILD_FUZZERS=ON -DNOTAVO_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fuzz_one() {
    local name=$1
    mkdir -p "$scratch/$name"
    local status=0
    build-fuzz/fuzz/fuzz_"$name" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$scratch/$name/" "$scratch/$name" "fuzz/corpus/$name" >"$scratch/$name.log" 2>&1 ||
        status=$?
    local rate
    rate=$(grep -o 'exec/s: [0-9]*' "$scratch/$name.log" | tail -1 || true)
    echo "fuzz_$name: ${rate:-no figure}, exit $status"
    [ $status -eq 0 ] || { tail -40 "$scratch/$name.log"; cp "$scratch/$name"/crash-* "$scratch/$name"/leak-* . 2>/dev/null || true; }
    return $status
}
failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
    pids=()
    for name in "${targets[@]:i:2}"; do
        fuzz_one "$name" & pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
done
exit $failed
