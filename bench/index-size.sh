#!/usr/bin/env bash
# index-size: the search index of 100,000 generated records (bench/search.sh's folder), after
# 10 % of them were deleted or rewritten (5 % rows deleted, 5 % files rewritten by another
# program) and one background pass. Prints the index's bytes (filesearch.db with its log)
# over the bytes of the text it covers (the files of the rows left).
set -euo pipefail
build=${NOTAVO_BENCH_BUILD:-$(cd "$(dirname "$0")/.." && pwd)/build-bench}
program=$build/bench/search_bench
records=${NOTAVO_SEARCH_RECORDS:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

index_bytes() { cat "$work"/filesearch.db* | wc -c; }

"$program" generate "$work/myText" "$work/filelist.db" "$records"
"$program" index "$work/filelist.db" >/dev/null
fresh=$(index_bytes)
"$program" churn "$work/filelist.db" 10
churned=$(index_bytes)
read -r seconds indexed unreadable < <("$program" index "$work/filelist.db")
after=$(index_bytes)
text=$("$program" textbytes "$work/filelist.db")
printf 'index from nothing %.1f MB; after churn %.1f MB; after one pass (%.1fs, %s files indexed) %.1f MB; text %.1f MB\n' \
    "$(echo "$fresh / 1048576" | bc -l)" "$(echo "$churned / 1048576" | bc -l)" "$seconds" "$indexed" \
    "$(echo "$after / 1048576" | bc -l)" "$(echo "$text / 1048576" | bc -l)" >&2
printf 'index-size: %.2fx text (target <= 1.3)\n' "$(echo "$after / $text" | bc -l)"
