#!/usr/bin/env bash
# Web mode's browser-address discovery against Firefox ESR showing a local page, with ten other
# top-level windows, on a desktop of its own (Xvfb, openbox, session and accessibility buses).
# Figures over NOTAVO_BENCH_SECONDS (60) of web mode: the GUI-thread time of one tick as a share
# of the 100 ms period, the probe's CPU (all threads) as a share of one core, and the extra CPU
# the browser spends while discovery runs (its share then minus its share when left alone).
set -euo pipefail
seconds=${NOTAVO_BENCH_SECONDS:-60}
probe="$NOTAVO_BENCH_BUILD/bench/discovery-probe"
for tool in Xvfb openbox dbus-daemon firefox-esr /usr/libexec/at-spi-bus-launcher "$probe"; do
    command -v "$tool" >/dev/null || { echo "discovery: skipped, $tool is missing"; exit 0; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# CPU ticks of a process and all its descendants.
tree_ticks() {
    python3 - "$1" <<'PY'
import os, sys
root = int(sys.argv[1]); stats = {}
for name in os.listdir('/proc'):
    if name.isdigit():
        try:
            with open(f'/proc/{name}/stat') as f:
                fields = f.read().rsplit(')', 1)[1].split()
            stats[int(name)] = (int(fields[1]), int(fields[11]) + int(fields[12]))
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

exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
pids+=($!)
read -r -t 15 display <&3
export DISPLAY=:$display
mapfile -t bus < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null)
pids+=("${bus[1]}")
export DBUS_SESSION_BUS_ADDRESS=${bus[0]}
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & pids+=($!)
openbox >/dev/null 2>&1 & pids+=($!)

mkdir -p "$work/profile"
cat > "$work/profile/user.js" <<'JS'
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.policy.firstRunURL", "");
user_pref("app.update.auto", false);
JS
{
    echo '<!doctype html><html><head><meta charset="utf-8"><title>Notavo bench page</title></head><body>'
    for i in $(seq 1 200); do echo "<p>Paragraph $i of a long article, with <a href=\"#p$i\">a link</a>.</p>"; done
    echo '</body></html>'
} > "$work/page.html"
GNOME_ACCESSIBILITY=1 HOME=$work MOZ_CRASHREPORTER_DISABLE=1 \
    firefox-esr --no-remote --new-instance --profile "$work/profile" "file://$work/page.html" >/dev/null 2>&1 &
firefox=$!
pids+=("$firefox")
sleep 20 # let the browser settle after its start

before=$(tree_ticks "$firefox"); sleep "$seconds"; after=$(tree_ticks "$firefox")
alone=$(python3 -c "print(($after - $before) / $hz / $seconds * 100)")

"$NOTAVO_BENCH_BUILD/bench/discovery-probe" "$seconds" "$work/ready" 10 > "$work/probe.out" &
probe_pid=$!
pids+=("$probe_pid")
while [ ! -f "$work/ready" ] && kill -0 "$probe_pid" 2>/dev/null; do sleep 0.1; done
before=$(tree_ticks "$firefox")
status=0
wait "$probe_pid" || status=$?
after=$(tree_ticks "$firefox")
with=$(python3 -c "print(($after - $before) / $hz / $seconds * 100)")
cat "$work/probe.out"
if [ "$status" -ne 0 ]; then
    echo "discovery: failed, the browser's address was not found"
    exit 1
fi
read -r tick_share cpu_share < <(sed -n 's/.*tick_share_pct \([0-9.]*\) process_cpu_pct \([0-9.]*\).*/\1 \2/p' "$work/probe.out")
printf 'browser alone %.3f%%, browser with discovery %.3f%%\n' "$alone" "$with"
printf 'discovery: tick %.3f%% of the period, Notavo %.3f%% of a core, browser extra %.3f%% of a core (target < 1%% each)\n' \
    "$tick_share" "$cpu_share" "$(python3 -c "print($with - $alone)")"
