#!/bin/bash
# A headless Wayland lab for the tests, in the folder $LAB: sway (wlroots: layer shell, data
# control, virtual pointer), KWin (layer shell, data control) or mutter (GNOME's compositor:
# neither), each with a private session bus. As a desktop (sway or mutter) it adds what a user's
# session has: Xwayland, a local web server, a keyboard and a pointer on the seat. Adapted from
# the project's shared headless Wayland lab (shared/wayland-lab/lab.sh). As root, everything runs
# as the user nobody (sway refuses to run as root).
#   waylandlab.sh start sway|kwin|mutter   the compositor alone; writes $LAB/env
#   waylandlab.sh desktop sway|mutter      the desktop; $LAB/env adds DISPLAY and PORT (the web server's)
#   waylandlab.sh run CMD...               runs CMD as the lab user in the lab's environment
#   waylandlab.sh spawn NAME CMD...        the same in the background (log $LAB/log/NAME.log); prints the pid
#   waylandlab.sh key COMBO...             keys, e.g. ctrl+a ctrl+c (sway: wtype; mutter: RemoteDesktop)
#   waylandlab.sh ptr TOKEN...             pointer: home | go:X:Y | press | release | click | sleep:SECONDS
#   waylandlab.sh stop                     ends every process it started, newest first
# $LAB/env holds NAME=VALUE lines: WAYLAND_DISPLAY, XDG_RUNTIME_DIR and the lab's bus, and more.
# LAB_POINTER names the virtual-pointer program for the sway desktop (waylandlabpointer); without
# it, no pointer there.
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

# prepare DESKTOP: the folders, the bus and, for a desktop, the web server.
prepare() {
    mkdir -p "$LAB/home/.config/sway" "$LAB/run" "$LAB/log"
    : > "$LAB/env"; : > "$LAB/pids"
    chmod 700 "$LAB/run"; chmod 755 "$LAB"
    [ ${#as_lab_user[@]} -eq 0 ] || chown -R 65534:65534 "$LAB/home" "$LAB/run" "$LAB/log"
    bg dbus.log dbus-daemon --session --address="unix:path=$LAB/run/bus" --nofork --nopidfile > /dev/null
    wait_for "$LAB/run/bus" 10 || fail "the session bus did not start"
    envset "DBUS_SESSION_BUS_ADDRESS=unix:path=$LAB/run/bus"
    envset "XDG_RUNTIME_DIR=$LAB/run"
    [ "$1" = desktop ] || return 0
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix 2>/dev/null || true
    mkdir -p "$LAB/home/ff" "$LAB/www"
    cp "$here/firefox-user.js" "$LAB/home/ff/user.js"   # no first run, no network
    [ ${#as_lab_user[@]} -eq 0 ] || chown -R 65534:65534 "$LAB/home" "$LAB/www"
    # Port 0: the system picks a free one, which the server names in its first line.
    bg http.log python3 -u -m http.server --bind 127.0.0.1 --directory "$LAB/www" 0 > /dev/null
    for _ in $(seq 50); do grep -q 'port [0-9]' "$LAB/log/http.log" 2>/dev/null && break; sleep 0.1; done
    port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$LAB/log/http.log" | head -1)
    [ -n "$port" ] || fail "the web server did not start"
    envset "PORT=$port"
}

# start_sway DESKTOP
start_sway() {
    local xwayland=disable before display
    [ "$1" = desktop ] && xwayland=enable
    printf 'xwayland %s\noutput * bg #335577 solid_color\n' "$xwayland" > "$LAB/home/.config/sway/config"
    before=$(ls /tmp/.X11-unix 2> /dev/null || true)
    bg sway.log WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1 \
        sway -c "$LAB/home/.config/sway/config" > /dev/null
    wait_for "$LAB/run/wayland-[0-9]" 20 || fail "sway did not start"
    sleep 1 # sway sets its output up right after opening the socket
    envset "WAYLAND_DISPLAY=$(cd "$LAB/run" && ls -d wayland-[0-9] | head -1)"
    envset "SWAYSOCK=$(ls "$LAB"/run/sway-ipc.*.sock)"
    [ "$1" = desktop ] || return 0
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
    as_user xmessage -timeout 2 seat-link > /dev/null 2>&1 || true
}

# start_mutter DESKTOP
start_mutter() {
    local display
    bg mutter.log XDG_SESSION_TYPE=wayland mutter --wayland --headless --virtual-monitor 1280x720 \
        --wayland-display=wl-notavo > /dev/null
    wait_for "$LAB/run/wl-notavo" 30 || fail "mutter did not start"
    envset WAYLAND_DISPLAY=wl-notavo
    [ "$1" = desktop ] || { sleep 1; return 0; }
    sleep 2
    display=$(sed -n 's/.*Using public X11 display :\([0-9]*\).*/\1/p' "$LAB/log/mutter.log" | head -1)
    [ -n "$display" ] || fail "mutter's Xwayland did not start"
    envset "DISPLAY=:$display"
    envset "XAUTHORITY=$(ls "$LAB"/run/.mutter-Xwaylandauth.*)"
    # A remote-desktop session puts a keyboard and a pointer on the seat, each once it is first
    # used: a Shift press and a small move. A seat without a keyboard has no clipboard for
    # programs that copy through a focused surface of their own (wl-copy).
    bg kbd.log python3 "$here/labremotedesktop.py" key:ffe1 go:1:1 sleep:86400 > /dev/null
}

start_kwin() {
    # A copy without the binary's file capability, which a container may not grant.
    cp /usr/bin/kwin_wayland "$LAB/kwin_wayland"
    bg kwin.log QT_QPA_PLATFORM=offscreen "$LAB/kwin_wayland" --virtual --no-lockscreen --no-global-shortcuts \
        --no-kactivities --socket wayland-8 --width 1280 --height 720 > /dev/null
    wait_for "$LAB/run/wayland-8" 30 || fail "KWin did not start"
    envset WAYLAND_DISPLAY=wayland-8
    sleep 1
}

case "${1:-}" in
start | desktop)
    kind=$1
    case "$kind ${2:-}" in
    "start sway" | "start kwin" | "start mutter" | "desktop sway" | "desktop mutter") ;;
    *) echo "usage: waylandlab.sh start sway|kwin|mutter, or: waylandlab.sh desktop sway|mutter"; exit 2 ;;
    esac
    prepare "$kind"
    "start_$2" "$kind" ;;
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
*) sed -n 2,17p "$0"; exit 2 ;;
esac
