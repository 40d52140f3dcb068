#!/usr/bin/env bash
# idle-pen: the same as idle-web, in pen mode with an unchanged clipboard.
# NOTAVO_START_IN_PEN_MODE makes the program start in pen mode.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/idle-common.bash"
measure_idle idle-pen NOTAVO_START_IN_PEN_MODE=1
