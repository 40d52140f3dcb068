#!/usr/bin/env bash
# Saving a 5 MB document from the built-in editor, against writing it with the codec alone.
set -euo pipefail
QT_QPA_PLATFORM=offscreen "$NOTAVO_BENCH_BUILD/bench/editor-bench" save
