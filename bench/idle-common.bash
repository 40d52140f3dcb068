# Shared by idle-web.sh and idle-pen.sh (sourced, not a benchmark of its own).
# measure_idle NAME TARGET [VAR=VALUE...]: starts the built program under Xvfb with the pointer in
# the middle of the screen, lets start-up finish, then measures the CPU time the program uses in
# NOTAVO_IDLE_SECONDS (60 by default); then the same on Xwayland in a headless sway (a Wayland
# session, where the program reads the clipboard through data control and web mode waits on the
# layer-shell strip). Prints both as a share of one core, against TARGET (a share in percent).

# cpu_share PID SECONDS: the share of one core, in percent, that PID uses in the next SECONDS.
cpu_share() {
    local before after
    before=$(awk '{print $14 + $15}' "/proc/$1/stat")
    sleep "$2"
    after=$(awk '{print $14 + $15}' "/proc/$1/stat")
    awk -v used="$((after - before))" -v hz="$(getconf CLK_TCK)" -v s="$2" 'BEGIN { printf "%.3f", 100 * used / hz / s }'
}

# measure_idle_sway SECONDS [VAR=VALUE...]: the share on sway, or why it could not be measured.
measure_idle_sway() {
    local seconds=$1; shift
    local build=${NOTAVO_BENCH_BUILD:?set by bench/run.sh}
    local lab_script="$here/../tests/platform/wayland/waylandlab.sh" pid share
    for tool in sway Xwayland setpriv; do
        command -v "$tool" >/dev/null || { echo "not measured ($tool missing)"; return 0; }
    done
    LAB=$(mktemp -d /tmp/notavo-idle.XXXXXX)
    export LAB
    if ! "$lab_script" desktop sway >"$LAB/start.log" 2>&1; then
        echo "not measured (sway did not start)"
        "$lab_script" stop >/dev/null 2>&1 || true
        rm -rf "$LAB"
        return 0
    fi
    mkdir -p "$LAB/app"
    cp "$build/bin/Notavo" "$LAB/app/Notavo"
    [ "$(id -u)" -ne 0 ] || chown -R 65534:65534 "$LAB/app"
    pid=$("$lab_script" spawn notavo QT_QPA_PLATFORM=xcb "$@" "$LAB/app/Notavo")
    sleep 4 # the splash closes after two seconds, the bar after three more
    if kill -0 "$pid" 2>/dev/null; then
        share="$(cpu_share "$pid" "$seconds")%"
    else
        share="not measured (Notavo did not start: $(tail -n 2 "$LAB/log/notavo.log" | tr '\n' ' '))"
    fi
    "$lab_script" stop >/dev/null 2>&1 || true
    rm -rf "$LAB"
    echo "$share"
}

measure_idle() {
    local name=$1 target=$2; shift 2
    local seconds=${NOTAVO_IDLE_SECONDS:-60}
    local build=${NOTAVO_BENCH_BUILD:?set by bench/run.sh}
    local work display xvfb_pid app_pid clipboard_pid=""
    work=$(mktemp -d)
    # The program keeps its data beside itself: run a copy in a folder of its own.
    cp "$build/bin/Notavo" "$work/Notavo"
    for display in $(seq 90 160); do
        [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
    done
    Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.1
    done
    export DISPLAY=":$display"
    unset QT_QPA_PLATFORM
    xdotool mousemove 640 400 2>/dev/null || true
    if command -v xclip >/dev/null; then
        printf 'unchanged clipboard' | xclip -quiet -selection clipboard >/dev/null 2>&1 &
        clipboard_pid=$!
    fi

    local launcher=()
    command -v dbus-run-session >/dev/null && launcher=(dbus-run-session --)
    # A runtime folder of its own, so that a Notavo the user runs does not take this start over.
    mkdir -m 700 "$work/run"
    env HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run" "$@" \
        "${launcher[@]}" bash -c 'echo $$ > "$1/pid"; exec "$1/Notavo"' _ "$work" >"$work/log" 2>&1 &
    local launcher_pid=$!
    sleep 4 # the splash closes after two seconds
    app_pid=$(cat "$work/pid" 2>/dev/null || true)
    if [ -z "$app_pid" ] || ! kill -0 "$app_pid" 2>/dev/null; then
        echo "Notavo did not start:" >&2
        cat "$work/log" >&2
        kill "$xvfb_pid" 2>/dev/null || true
        return 1
    fi

    local x11
    x11=$(cpu_share "$app_pid" "$seconds")

    kill "$app_pid" 2>/dev/null || true
    wait "$launcher_pid" 2>/dev/null || true
    if [ -n "$clipboard_pid" ]; then kill "$clipboard_pid" 2>/dev/null || true; fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"

    local sway
    sway=$(measure_idle_sway "$seconds" "$@")
    echo "$name: $x11% of one core on X11, $sway on sway (target < $target%)"
}
