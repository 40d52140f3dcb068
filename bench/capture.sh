#!/usr/bin/env bash
# Storing one capture with 100,000 rows in the table, against a plain file write + SQLite insert.
set -euo pipefail
"$NOTAVO_BENCH_BUILD/bench/capture_bench"
