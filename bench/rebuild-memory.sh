#!/usr/bin/env bash
# rebuild-memory: 重建记录 over a save folder holding a 200 MB GBK text file and a small one.
# Prints the rebuild's peak resident memory (the whole process, Qt and SQLite included).
set -euo pipefail
source "$(dirname "$0")/rebuild-common.bash"
peak=$("$build/bench/rebuild_bench" memory "$work/myText" "$work/filelist.db")
printf 'rebuild-memory: %.0f MB peak for a 200 MB file (target <= 100 MB)\n' "$peak"
