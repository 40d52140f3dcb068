# Shared by idle-web.sh and idle-pen.sh (sourced, not a benchmark of its own).
# measure_idle NAME TARGET [VAR=VALUE...]: starts the built program under Xvfb with the pointer in
# the middle of the screen, lets start-up finish, then measures the CPU time the program uses in
# NOTAVO_IDLE_SECONDS (60 by default) and prints it as a share of one core, against TARGET
# (a share in percent).

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

    local ticks before after
    ticks=$(getconf CLK_TCK)
    before=$(awk '{print $14 + $15}' "/proc/$app_pid/stat")
    sleep "$seconds"
    after=$(awk '{print $14 + $15}' "/proc/$app_pid/stat")

    kill "$app_pid" 2>/dev/null || true
    wait "$launcher_pid" 2>/dev/null || true
    if [ -n "$clipboard_pid" ]; then kill "$clipboard_pid" 2>/dev/null || true; fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"

    awk -v name="$name" -v used="$((after - before))" -v hz="$ticks" -v s="$seconds" -v target="$target" \
        'BEGIN { printf "%s: %.3f%% of one core (target < %s%%)\n", name, 100 * used / hz / s, target }'
}
