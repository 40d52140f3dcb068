#!/usr/bin/env bash
# Opening a 5 MB GBK text file in the built-in editor until it shows, against the codec alone.
set -euo pipefail
QT_QPA_PLATFORM=offscreen "$NOTAVO_BENCH_BUILD/bench/editor-bench" open
