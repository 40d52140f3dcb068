#!/bin/bash
# A headless Wayland compositor for the Wayland tests: sway (wlroots: layer shell, data
# control, virtual pointer), KWin (layer shell, data control) or mutter (GNOME's compositor:
# neither), each with a private session bus, in the folder $LAB. Adapted from the project's shared headless Wayland lab
# (shared/wayland-lab/lab.sh), cut down to what the tests need: no browser, web server or keyboard.
#   waylandlab.sh start sway|kwin|mutter   starts it; writes $LAB/env (WAYLAND_DISPLAY=, XDG_RUNTIME_DIR=)
#   waylandlab.sh stop                ends every process it started, newest first
# sway refuses to run as root: as root the compositor runs as the user nobody.
set -euo pipefail
: "${LAB:?LAB must name the lab folder}"
as_lab_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_lab_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all --)
fi
start_bg() {  # log name, command...
    local log=$1; shift
    "${as_lab_user[@]}" env -i PATH=/usr/bin:/bin HOME="$LAB/home" XDG_CONFIG_HOME="$LAB/home/.config" \
        XDG_RUNTIME_DIR="$LAB/run" XDG_CACHE_HOME="$LAB/home/.cache" GSETTINGS_BACKEND=memory LANG=C.UTF-8 \
        "$@" > "$LAB/$log.log" 2>&1 &
    echo $! >> "$LAB/pids"
}
wait_for() {  # a glob, seconds
    for _ in $(seq 1 $(($2 * 10))); do
        compgen -G "$1" > /dev/null && return 0
        sleep 0.1
    done
    return 1
}
fail() { echo "$1"; for f in "$LAB"/*.log; do [ -e "$f" ] && { echo "--- $f"; tail -n 15 "$f"; }; done; exit 1; }

case "${1:-}" in
start)
    mkdir -p "$LAB/home/.config/sway" "$LAB/run"
    chmod 700 "$LAB/run"
    : > "$LAB/pids"
    [ ${#as_lab_user[@]} -eq 0 ] || chown -R 65534:65534 "$LAB/home" "$LAB/run"
    chmod 755 "$LAB"
    start_bg dbus dbus-daemon --session --address="unix:path=$LAB/run/bus" --nofork --nopidfile
    wait_for "$LAB/run/bus" 10 || fail "the session bus did not start"
    bus="DBUS_SESSION_BUS_ADDRESS=unix:path=$LAB/run/bus"
    case "${2:-}" in
    sway)
        printf 'xwayland disable\noutput * bg #335577 solid_color\n' > "$LAB/home/.config/sway/config"
        start_bg sway "$bus" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
            WLR_HEADLESS_OUTPUTS=1 sway -c "$LAB/home/.config/sway/config"
        wait_for "$LAB/run/wayland-[0-9]" 20 || fail "sway did not start" ;;
    kwin)
        # A copy without the binary's file capability, which a container may not grant.
        cp /usr/bin/kwin_wayland "$LAB/kwin_wayland"
        start_bg kwin "$bus" QT_QPA_PLATFORM=offscreen "$LAB/kwin_wayland" --virtual --no-lockscreen \
            --no-global-shortcuts --no-kactivities --socket wayland-8 --width 1280 --height 720
        wait_for "$LAB/run/wayland-8" 30 || fail "KWin did not start" ;;
    mutter)
        start_bg mutter "$bus" XDG_SESSION_TYPE=wayland mutter --wayland --headless \
            --virtual-monitor 1280x720 --wayland-display=wayland-9
        wait_for "$LAB/run/wayland-9" 30 || fail "mutter did not start" ;;
    *) echo "usage: waylandlab.sh start sway|kwin|mutter"; exit 2 ;;
    esac
    socket=$(cd "$LAB/run" && ls -d wayland-[0-9] | head -1)
    printf 'WAYLAND_DISPLAY=%s\nXDG_RUNTIME_DIR=%s\n' "$socket" "$LAB/run" > "$LAB/env"
    # sway sets its output up right after opening the socket.
    sleep 1 ;;
stop)
    [ -e "$LAB/pids" ] || exit 0
    tac "$LAB/pids" | while read -r pid; do kill "$pid" 2>/dev/null || true; done
    sleep 0.5
    tac "$LAB/pids" | while read -r pid; do kill -9 "$pid" 2>/dev/null || true; done
    rm -f "$LAB/pids" ;;
*) sed -n 2,8p "$0"; exit 2 ;;
esac
