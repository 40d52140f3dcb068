#!/usr/bin/env bash
# Web mode's browser-address discovery against Firefox ESR showing a local page, with ten other
# top-level windows, on a desktop of its own (Xvfb, openbox, session and accessibility buses),
# met the way a user meets it: Firefox started without GNOME_ACCESSIBILITY on a desktop whose
# accessibility switch is off, and the discovery switching it on at its first look.
# Two pages: a short one, and a heavy one (2 MB of Chinese text and 265 tables), which the mouse
# wheel scrolls every few seconds in both phases while the pointer itself stays still over it: a
# program that listened to the browser's object events would pay for every scroll.
# Figures over NOTAVO_BENCH_SECONDS (60) of web mode with the pointer idle over the page: the
# probe's CPU (all threads) as a share of one core, the extra CPU the browser spends while
# discovery runs (its share then minus its share when left alone with the switch off), and the
# browser's extra resident memory (all its processes) once it has joined the accessibility bus.
# Then the heavy page again on Wayland (a headless sway, tests/platform/wayland/waylandlab.sh desktop):
# Firefox native on Wayland, already showing the page with the accessibility switch on when the
# probe starts, which must find it with no window switched (no window event comes); the keyboard
# scrolls it there (the lab has no wheel), and the probe's CPU is the figure.
set -euo pipefail
seconds=${NOTAVO_BENCH_SECONDS:-60}
source "$(dirname "$0")/desktop-common.bash"
probe="$NOTAVO_BENCH_BUILD/bench/discovery-probe"
for tool in Xvfb openbox dbus-daemon xdotool firefox-esr /usr/libexec/at-spi-bus-launcher "$probe"; do
    command -v "$tool" >/dev/null || { echo "discovery: skipped, $tool is missing"; exit 0; }
done

# CPU ticks (or, with "rss", resident kilobytes) of a process and all its descendants.
tree_ticks() {
    python3 - "$1" "${2:-cpu}" <<'PY'
import os, sys
root = int(sys.argv[1]); what = sys.argv[2]; stats = {}
page_kb = os.sysconf('SC_PAGE_SIZE') // 1024
for name in os.listdir('/proc'):
    if name.isdigit():
        try:
            with open(f'/proc/{name}/stat') as f:
                fields = f.read().rsplit(')', 1)[1].split()
            value = int(fields[21]) * page_kb if what == 'rss' else int(fields[11]) + int(fields[12])
            stats[int(name)] = (int(fields[1]), value)
        except OSError:
            pass
tree, total, changed = {root}, 0, True
while changed:
    changed = False
    for pid, (ppid, _) in stats.items():
        if ppid in tree and pid not in tree:
            tree.add(pid); changed = True
print(sum(stats[p][1] for p in tree if p in stats))
PY
}
hz=$(getconf CLK_TCK)

# Scrolls the page down by the mouse wheel every 3 seconds until killed; the pointer stays put.
scroll_page() {
    while sleep 3; do xdotool click --repeat 4 --delay 50 5 >/dev/null 2>&1 || true; done
}

# measure PAGE NAME: the browser alone, then with the discovery, on one page; prints a line
# "NAME notavo_pct browser_extra_pct browser_extra_mb" to $work/figures.
measure() {
    local page=$1 name=$2 settle=$3 warm_up=$4
    set_accessibility false || { echo "discovery: skipped, the accessibility bus did not answer"; exit 0; }
    rm -rf "$work/profile" "$work/ready"
    write_browser_page
    HOME=$work MOZ_CRASHREPORTER_DISABLE=1 \
        firefox-esr --no-remote --new-instance --profile "$work/profile" "file://$page" >/dev/null 2>&1 &
    local firefox=$!
    pids+=("$firefox")
    sleep "$settle" # let the browser settle after its start
    xdotool mousemove 640 600 >/dev/null 2>&1 || true

    scroll_page & local scroller=$!
    local before after alone rss_alone with rss_with status=0
    before=$(tree_ticks "$firefox"); sleep "$seconds"; after=$(tree_ticks "$firefox")
    kill "$scroller" 2>/dev/null || true
    alone=$(python3 -c "print(($after - $before) / $hz / $seconds * 100)")
    rss_alone=$(tree_ticks "$firefox" rss)

    "$NOTAVO_BENCH_BUILD/bench/discovery-probe" "$seconds" "$work/ready" 10 "$warm_up" > "$work/probe.out" &
    local probe_pid=$!
    pids+=("$probe_pid")
    # Firefox joins the accessibility bus when its window is next activated, as when the user
    # clicks into the page to select text; the pointer then rests over the page.
    sleep 2
    xdotool search --name 'Mozilla Firefox' windowactivate >/dev/null 2>&1 || true
    while [ ! -f "$work/ready" ] && kill -0 "$probe_pid" 2>/dev/null; do sleep 0.1; done
    scroll_page & scroller=$!
    before=$(tree_ticks "$firefox")
    wait "$probe_pid" || status=$?
    after=$(tree_ticks "$firefox")
    kill "$scroller" 2>/dev/null || true
    rss_with=$(tree_ticks "$firefox" rss)
    with=$(python3 -c "print(($after - $before) / $hz / $seconds * 100)")
    kill "$firefox" 2>/dev/null || true
    wait "$firefox" 2>/dev/null || true
    sed "s/^/$name: /" "$work/probe.out"
    if [ "$status" -ne 0 ]; then
        echo "discovery: failed, the browser's address was not found on the $name page"
        exit 1
    fi
    local tick_share cpu_share
    read -r tick_share cpu_share < <(sed -n 's/.*tick_share_pct \([0-9.]*\) process_cpu_pct \([0-9.]*\).*/\1 \2/p' "$work/probe.out")
    printf '%s page: browser alone %.3f%% of a core and %d MB, with discovery %.3f%% and %d MB; tick %.3f%% of the period\n' \
        "$name" "$alone" "$((rss_alone / 1024))" "$with" "$((rss_with / 1024))" "$tick_share"
    printf '%s %.3f %.3f %.1f\n' "$name" "$cpu_share" "$(python3 -c "print($with - $alone)")" \
        "$(python3 -c "print(($rss_with - $rss_alone) / 1024)")" >> "$work/figures"
}

# measure_sway: the heavy page on sway; prints "Notavo NN% of a core, browser alone NN% and
# with discovery NN%" or why it could not be measured.
measure_sway() {
    local lab_script="$here/../tests/platform/wayland/waylandlab.sh" firefox probe_pid status=0
    for tool in sway Xwayland setpriv wtype; do
        command -v "$tool" >/dev/null || { echo "not measured ($tool missing)"; return 0; }
    done
    LAB=$(mktemp -d /tmp/notavo-discovery.XXXXXX)
    export LAB
    lab() { "$lab_script" "$@"; }
    if ! lab desktop sway >"$LAB/start.log" 2>&1; then
        echo "not measured (sway did not start)"
        lab stop >/dev/null 2>&1 || true
        rm -rf "$LAB"
        return 0
    fi
    mkdir -p "$LAB/app"
    cp "$work/heavy.html" "$LAB/www/heavy.html"
    cp "$probe" "$LAB/app/discovery-probe"
    [ "$(id -u)" -ne 0 ] || chown -R 65534:65534 "$LAB/app" "$LAB/www"
    # The switch on before the browser starts, so that it is on the bus when the probe connects.
    lab run dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null 2>&1 || true
    firefox=$(lab spawn firefox MOZ_ENABLE_WAYLAND=1 MOZ_CRASHREPORTER_DISABLE=1 \
        firefox-esr --no-remote --profile "$LAB/home/ff" "http://127.0.0.1:$(sed -n 's/^PORT=//p' "$LAB/env")/heavy.html")
    sleep 45 # the heavy page's accessible tree is built for a long while
    lab_scroll() { while sleep 3; do lab key Next Next >/dev/null 2>&1 || true; done; }
    lab_scroll & local scroller=$!
    local before after alone with
    before=$(tree_ticks "$firefox"); sleep "$seconds"; after=$(tree_ticks "$firefox")
    alone=$(python3 -c "print(($after - $before) / $hz / $seconds * 100)")
    # No extra X11 windows: sway would give them the focus, and the browser must keep it.
    probe_pid=$(lab spawn probe "$LAB/app/discovery-probe" "$seconds" "$LAB/app/ready" 0 120)
    while [ ! -f "$LAB/app/ready" ] && kill -0 "$probe_pid" 2>/dev/null; do sleep 0.1; done
    before=$(tree_ticks "$firefox")
    while kill -0 "$probe_pid" 2>/dev/null; do sleep 0.5; done
    after=$(tree_ticks "$firefox")
    kill "$scroller" 2>/dev/null || true
    wait "$scroller" 2>/dev/null || true
    with=$(python3 -c "print(($after - $before) / $hz / $seconds * 100)")
    sed "s/^/sway heavy: /" "$LAB/log/probe.log" >&2
    local cpu_share address
    cpu_share=$(sed -n 's/.*process_cpu_pct \([0-9.]*\).*/\1/p' "$LAB/log/probe.log")
    address=$(sed -n 's/^address //p' "$LAB/log/probe.log")
    if [ -z "$cpu_share" ] || [ "$address" = "(none)" ]; then
        echo "not measured (the browser's address was not found)"
    else
        printf 'Notavo %.3f%% of a core, browser alone %.3f%% and with discovery %.3f%%\n' "$cpu_share" "$alone" "$with"
    fi
    lab stop >/dev/null 2>&1 || true
    rm -rf "$LAB"
}

here=$(cd "$(dirname "$0")" && pwd)
start_desktop
write_browser_page
write_heavy_page
measure "$work/page.html" short 20 90
measure "$work/heavy.html" heavy 45 300
read -r _ short_cpu short_extra short_mb < <(grep '^short ' "$work/figures")
read -r _ heavy_cpu heavy_extra heavy_mb < <(grep '^heavy ' "$work/figures")
sway=$(measure_sway)
printf 'discovery: Notavo %s%% of a core (short page %s%%), browser extra %s%% of a core (short %s%%), browser extra memory %s MB (short %s MB) on the heavy page on X11; on sway (heavy page): %s (target Notavo < 0.5%% on X11, < 1%% on sway, browser extra < 1%%, < 50 MB on the short page)\n' \
    "$heavy_cpu" "$short_cpu" "$heavy_extra" "$short_extra" "$heavy_mb" "$short_mb" "$sway"
