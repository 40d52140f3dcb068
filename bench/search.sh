#!/usr/bin/env bash
# search: a generated save folder of 100,000 GBK records (0.2-5 kB, mixed Chinese and Latin).
# Times indexing it from nothing and reports the index's size against the text's; then the
# median of 20 two- and four-character queries through Notavo's search against the median
# of `rg -F -l --encoding gbk` over the same folder. Prints the ratio of the medians last.
set -euo pipefail
build=${NOTAVO_BENCH_BUILD:-$(cd "$(dirname "$0")/.." && pwd)/build-bench}
program=$build/bench/search_bench
records=${NOTAVO_SEARCH_RECORDS:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

"$program" generate "$work/myText" "$work/filelist.db" "$records"
text_bytes=$(du -sb "$work/myText" | cut -f1)
read -r index_seconds indexed unreadable < <("$program" index "$work/filelist.db")
index_bytes=$(cat "$work"/filesearch.db* | wc -c)
printf 'indexed %s records (%s unreadable) from nothing in %.1fs; index %.1f MB for %.1f MB of text (%.2fx)\n' \
    "$indexed" "$unreadable" "$index_seconds" "$(echo "$index_bytes / 1048576" | bc -l)" \
    "$(echo "$text_bytes / 1048576" | bc -l)" "$(echo "$index_bytes / $text_bytes" | bc -l)" >&2

mapfile -t queries < <("$program" queries)
# Warm the page cache for both sides alike.
find "$work/myText" -name "*.txt" -exec cat {} + >/dev/null
ours=$("$program" query "$work/filelist.db" "${queries[@]}" | tee "$work/ours" | cut -d' ' -f1 | median)
: >"$work/rg"
for q in "${queries[@]}"; do
    start=$(now)
    rg -F -l --encoding gbk "$q" "$work/myText" | wc -l >"$work/count"
    echo "$(echo "$(now) - $start" | bc -l) $(cat "$work/count")" >>"$work/rg"
done
theirs=$(cut -d' ' -f1 "$work/rg" | median)
paste -d' ' <(printf '%s\n' "${queries[@]}") "$work/ours" "$work/rg" |
    awk '{ printf "  %s: Notavo %.4fs %d files, rg %.3fs %d files\n", $1, $2, $3, $4, $5 }' >&2
printf 'median: Notavo %.4fs, rg %.3fs\n' "$ours" "$theirs" >&2
printf 'search: %.3fx rg (target <= 0.1)\n' "$(echo "$ours / $theirs" | bc -l)"
