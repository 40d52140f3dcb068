#!/usr/bin/env bash
# idle-pen: the same as idle-web, in pen mode with an unchanged clipboard. Pen mode waits for the
# clipboard's own change event, with no timer, so idle it should cost next to nothing.
# NOTAVO_START_IN_PEN_MODE makes the program start in pen mode.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/idle-common.bash"
measure_idle idle-pen 0.1 NOTAVO_START_IN_PEN_MODE=1
