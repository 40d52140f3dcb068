#!/usr/bin/env bash
# finder: the file finder walking /usr for "*.h" until the result line shows, against
# find /usr -xdev -iname '*.h' -not -path '*/.*/*' (hidden folders are not entered).
# Both must list the same set of paths.
set -euo pipefail
build=${NOTAVO_BENCH_BUILD:-$(cd "$(dirname "$0")/.." && pwd)/build-bench}
program=$build/bench/finder_bench
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }

# Warm the cache once, then take the fastest of three runs of each side.
find /usr -xdev -iname '*.h' -not -path '*/.*/*' >"$work/find.txt"
ours=1000
theirs=1000
for _ in 1 2 3; do
    read -r t line < <("$program" /usr '*.h' "$work/ours.txt" 2>/dev/null)
    ours=$(echo "if ($t < $ours) $t else $ours" | bc -l)
    start=$(now)
    find /usr -xdev -iname '*.h' -not -path '*/.*/*' >"$work/find.txt"
    t=$(echo "$(now) - $start" | bc -l)
    theirs=$(echo "if ($t < $theirs) $t else $theirs" | bc -l)
done
# find writes /usr/x, the finder /usr/x with the folder's separator: the same paths.
if ! diff <(sort "$work/find.txt") <(sort "$work/ours.txt") >"$work/diff.txt"; then
    echo "finder: the lists differ from find's:" >&2
    head -20 "$work/diff.txt" >&2
    echo "finder: FAILED (lists differ) (target <= 1.5x)"
    exit 1
fi
printf 'Notavo %.3fs (%s), find %.3fs, %s paths\n' "$ours" "$line" "$theirs" "$(wc -l <"$work/ours.txt")" >&2
printf 'finder: %.2fx find (target <= 1.5x)\n' "$(echo "$ours / $theirs" | bc -l)"
