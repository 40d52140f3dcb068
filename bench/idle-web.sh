#!/usr/bin/env bash
# idle-web: CPU the running program uses in web mode with the pointer away from the top edge,
# under Xvfb, as a share of one core. NOTAVO_IDLE_SECONDS shortens the 60 s run for trying it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/idle-common.bash"
measure_idle idle-web 0.5
