#!/bin/bash
# A headless Wayland desktop for the end-to-end tests: sway (wlroots) or mutter (GNOME's
# compositor), each with Xwayland, a private session bus, a local web server and synthetic
# keyboard and pointer input, in the folder $LAB. Adapted from the project's shared headless
# Wayland lab (shared/wayland-lab/lab.sh). As root, everything runs as the user nobody (sway
# refuses to run as root).
#   desktoplab.sh start sway|mutter   starts it; writes $LAB/env (WAYLAND_DISPLAY, DISPLAY, bus, PORT)
#   desktoplab.sh run CMD...          runs CMD as the lab user in the lab's environment
#   desktoplab.sh spawn NAME CMD...   the same in the background (log $LAB/log/NAME.log); prints the pid
#   desktoplab.sh key COMBO...        keys, e.g. ctrl+a ctrl+c (sway: wtype; mutter: RemoteDesktop)
#   desktoplab.sh ptr TOKEN...        pointer: home | go:X:Y | press | release | click | sleep:SECONDS
#   desktoplab.sh stop                ends every process it started, newest first
# LAB_POINTER names the virtual-pointer program for sway (waylandlabpointer); without it, no pointer.
set -euo pipefail
: "${LAB:?LAB must name the lab folder}"
here=$(cd "$(dirname "$0")" && pwd)
as_lab_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_lab_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all --)
fi
exec_as_user() {
    # shellcheck disable=SC2046 # the env file holds NAME=VALUE lines without spaces
    exec "${as_lab_user[@]}" env -i PATH=/usr/bin:/bin HOME="$LAB/home" XDG_CONFIG_HOME="$LAB/home/.config" \
        XDG_DATA_HOME="$LAB/home/.local/share" XDG_CACHE_HOME="$LAB/home/.cache" XDG_RUNTIME_DIR="$LAB/run" \
        GSETTINGS_BACKEND=memory LANG=C.UTF-8 $(cat "$LAB/env" 2>/dev/null) "$@"
}
as_user() { (exec_as_user "$@"); }
bg() {
    local log=$1; shift
    (exec_as_user "$@") > "$LAB/log/$log" 2>&1 &
    echo $! >> "$LAB/pids"
    echo $!
}
envset() { echo "$1" >> "$LAB/env"; }
wait_for() { for _ in $(seq 1 $(($2 * 10))); do compgen -G "$1" > /dev/null && return 0; sleep 0.1; done; return 1; }
fail() { echo "$1"; for f in "$LAB"/log/*.log; do [ -e "$f" ] && { echo "--- $f"; tail -n 15 "$f"; }; done; exit 1; }
is_sway() { grep -q '^SWAYSOCK=' "$LAB/env"; }

case "${1:-}" in
start)
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix 2>/dev/null || true
    mkdir -p "$LAB/home/.config/sway" "$LAB/home/ff" "$LAB/run" "$LAB/log" "$LAB/www"
    : > "$LAB/env"; : > "$LAB/pids"
    cp "$here/firefox-user.js" "$LAB/home/ff/user.js"   # no first run, no network
    chmod 700 "$LAB/run"; chmod 755 "$LAB"
    [ ${#as_lab_user[@]} -eq 0 ] || chown -R 65534:65534 "$LAB/home" "$LAB/run" "$LAB/www" "$LAB/log"
    bg dbus.log dbus-daemon --session --address="unix:path=$LAB/run/bus" --nofork --nopidfile > /dev/null
    wait_for "$LAB/run/bus" 10 || fail "the session bus did not start"
    envset "DBUS_SESSION_BUS_ADDRESS=unix:path=$LAB/run/bus"
    # Port 0: the system picks a free one, which the server names in its first line.
    bg http.log python3 -u -m http.server --bind 127.0.0.1 --directory "$LAB/www" 0 > /dev/null
    for _ in $(seq 50); do grep -q 'port [0-9]' "$LAB/log/http.log" 2>/dev/null && break; sleep 0.1; done
    port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$LAB/log/http.log" | head -1)
    [ -n "$port" ] || fail "the web server did not start"
    envset "PORT=$port"
    case "${2:-}" in
    sway)
        printf 'xwayland enable\noutput * bg #335577 solid_color\n' > "$LAB/home/.config/sway/config"
        before=$(ls /tmp/.X11-unix)
        bg sway.log WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1 \
            sway -c "$LAB/home/.config/sway/config" > /dev/null
        wait_for "$LAB/run/wayland-[0-9]" 20 || fail "sway did not start"
        sleep 1
        envset "WAYLAND_DISPLAY=$(cd "$LAB/run" && ls -d wayland-[0-9] | head -1)"
        envset "SWAYSOCK=$(ls "$LAB"/run/sway-ipc.*.sock)"
        for _ in $(seq 50); do
            display=$(comm -13 <(echo "$before") <(ls /tmp/.X11-unix) | head -1)
            [ -n "$display" ] && break
            sleep 0.1
        done
        [ -n "$display" ] || fail "Xwayland did not start"
        envset "DISPLAY=:${display#X}"
        bg kbd.log wtype -s 86400000 > /dev/null   # a keyboard on the seat: GTK and Qt focus need one
        if [ -n "${LAB_POINTER:-}" ]; then
            : > "$LAB/run/pointer.cmds"
            [ ${#as_lab_user[@]} -eq 0 ] || chown 65534 "$LAB/run/pointer.cmds"
            bg pointer.log "$LAB_POINTER" 1280 720 "$LAB/run/pointer.cmds" > /dev/null
        fi
        # sway 1.7 links Xwayland to the seat only once an X11 window had focus.
        as_user xmessage -timeout 2 seat-link > /dev/null 2>&1 || true ;;
    mutter)
        bg mutter.log XDG_SESSION_TYPE=wayland mutter --wayland --headless --virtual-monitor 1280x720 \
            --wayland-display=wl-notavo > /dev/null
        wait_for "$LAB/run/wl-notavo" 30 || fail "mutter did not start"
        sleep 2
        envset WAYLAND_DISPLAY=wl-notavo
        display=$(sed -n 's/.*Using public X11 display :\([0-9]*\).*/\1/p' "$LAB/log/mutter.log" | head -1)
        [ -n "$display" ] || fail "mutter's Xwayland did not start"
        envset "DISPLAY=:$display"
        envset "XAUTHORITY=$(ls "$LAB"/run/.mutter-Xwaylandauth.*)"
        # A remote-desktop session puts a keyboard and a pointer on the seat.
        bg kbd.log python3 "$here/labremotedesktop.py" sleep:86400 > /dev/null ;;
    *) echo "usage: desktoplab.sh start sway|mutter"; exit 2 ;;
    esac ;;
run) shift; as_user "$@" ;;
spawn) shift; name=$1; shift; bg "$name.log" "$@" ;;
key) shift
    if is_sway; then
        for combo in "$@"; do
            mods=${combo%+*}; key=${combo##*+}
            if [ "$mods" = "$combo" ]; then as_user wtype -k "$key"; else as_user wtype -M "$mods" -k "$key" -m "$mods"; fi
            sleep 0.3
        done
    else
        args=()
        for combo in "$@"; do
            syms=""
            for part in ${combo//+/ }; do
                case $part in ctrl) sym=ffe3 ;; alt) sym=ffe9 ;; shift) sym=ffe1 ;; *) sym=$(printf %x "'$part") ;; esac
                syms=${syms:+$syms+}$sym
            done
            args+=("key:$syms" "sleep:0.3")
        done
        as_user python3 "$here/labremotedesktop.py" "${args[@]}" > /dev/null
    fi ;;
ptr) shift
    if is_sway; then
        wait_ms=200
        for token in "$@"; do
            IFS=: read -r action x y <<< "$token"
            case $action in
            home) echo "move 0 0" ;;
            go) echo "move $x $y"; echo "sleep 60" ;;
            press | release | click) echo "$action"; echo "sleep 60" ;;
            sleep) echo "sleep $(awk "BEGIN { print int($x * 1000) }")"; wait_ms=$((wait_ms + ${x%.*} * 1000)) ;;
            esac
            wait_ms=$((wait_ms + 120))
        done >> "$LAB/run/pointer.cmds"
        # The pointer program follows the file: wait until it has carried it all out.
        sleep "$(awk -v ms=$wait_ms 'BEGIN { print ms / 1000 }')"
    else
        as_user python3 "$here/labremotedesktop.py" "$@" > /dev/null
    fi ;;
stop)
    [ -e "$LAB/pids" ] || exit 0
    tac "$LAB/pids" | while read -r pid; do kill "$pid" 2> /dev/null || true; done
    sleep 0.5
    tac "$LAB/pids" | while read -r pid; do kill -9 "$pid" 2> /dev/null || true; done
    rm -f "$LAB/pids" ;;
*) sed -n 2,13p "$0"; exit 2 ;;
esac
