#!/bin/bash
# The program itself on a headless Wayland desktop (waylandlab.sh desktop), as a user meets it there:
# Notavo on Xwayland (QT_QPA_PLATFORM=xcb) beside a native Wayland Firefox.
#   tst_waylanddesktop.sh sway|mutter NOTAVO_PROGRAM [POINTER_PROGRAM]
# Web mode: the pointer at the top edge over Firefox drops the bar, and a paragraph dragged from
# Firefox onto the bar is stored. Pen mode: a copy in Firefox is stored, and a copy made by wl-copy
# is captured once. Exits 77 (skipped) with the reason where the desktop cannot start.
set -euo pipefail
compositor=$1 program=$2
export LAB_POINTER=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIP: $1"; exit 77; }
for tool in "$compositor" Xwayland firefox-esr python3 xdotool wl-copy setpriv; do
    command -v "$tool" > /dev/null || skip "$tool is not installed (scripts/install-deps.sh test)"
done
[ "$compositor" != sway ] || command -v wtype > /dev/null || skip "wtype is not installed"
LAB=$(mktemp -d /tmp/notavo-desktop.XXXXXX)
export LAB
lab() { "$here/waylandlab.sh" "$@"; }
failures=0
finish() {
    lab stop > /dev/null 2>&1 || true
    if [ "$failures" -ne 0 ]; then
        echo "--- stored texts"; stored_texts || true
        for f in "$LAB"/log/notavo*.log "$LAB"/log/firefox.log; do [ -e "$f" ] && { echo "--- $f"; tail -n 20 "$f"; }; done
    fi
    rm -rf "$LAB"
}
trap finish EXIT
check() {  # description, command...
    local what=$1; shift
    if "$@"; then echo "PASS: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
retry() {  # seconds, command...: true as soon as the command is
    local seconds=$1; shift
    for _ in $(seq 1 $((seconds * 4))); do "$@" && return 0; sleep 0.25; done
    return 1
}

out=$(lab desktop "$compositor" 2>&1) || skip "$compositor did not start: $(echo "$out" | head -3 | tr '\n' ' ')"
port=$(sed -n 's/^PORT=//p' "$LAB/env")
paragraph="Wayland 段落 $RANDOM$RANDOM dragged from Firefox."
# One tall line in a large font: its text lies under y = 257 on the screen with sway's title bar
# above the page and with mutter's window at the top alike.
printf '<!doctype html><html><head><meta charset="utf-8"><title>Lab page</title></head><body>
<p id="p" style="font-size:48px; line-height:240px; margin:40px 0 0">%s</p></body></html>\n' "$paragraph" > "$LAB/www/page.html"
page="http://127.0.0.1:$port/page.html"
lab spawn firefox MOZ_ENABLE_WAYLAND=1 firefox-esr --no-remote --profile "$LAB/home/ff" "$page" > /dev/null
retry 60 grep -q 'GET /page.html' "$LAB/log/http.log" || skip "Firefox did not load the page"
sleep 4

# The program in a folder the lab user owns: it keeps its data beside itself there.
mkdir -p "$LAB/app"
cp "$program" "$LAB/app/Notavo"
[ "$(id -u)" -ne 0 ] || chown -R 65534:65534 "$LAB/app"
notavo_pid=
notavo_starts=0
start_notavo() {  # VAR=VALUE...
    notavo_pid=$(lab spawn "notavo$notavo_starts" QT_QPA_PLATFORM=xcb "$@" "$LAB/app/Notavo")
    notavo_starts=$((notavo_starts + 1))
    retry 20 test -e "$LAB/app/filelist.db"
    sleep 3 # the splash closes after two seconds
}
stop_notavo() { kill "$notavo_pid" 2> /dev/null || true; retry 10 bash -c "! kill -0 $notavo_pid 2>/dev/null"; }
# The capture window's place and size, "X Y WIDTH HEIGHT", while it is shown: the visible
# window named Notavo 388 pixels wide.
capture_geometry() {
    local id
    for id in $(lab run xdotool search --onlyvisible --name '^Notavo$' 2> /dev/null); do
        lab run xdotool getwindowgeometry --shell "$id" | awk -F= '
            { v[$1] = $2 } END { if (v["WIDTH"] == 388) print v["X"], v["Y"], v["WIDTH"], v["HEIGHT"] }'
    done | head -1
}
bar_shown() { [ -n "$(capture_geometry)" ]; }
bar_hidden() { [ -z "$(capture_geometry)" ]; }
full_shown() { read -r _ _ _ h <<< "$(capture_geometry)"; [ "${h:-0}" -gt 200 ]; }
# Clicks the first category button (the frame's top-left) of the shown capture window. Straight
# from where the pointer is, as a hand goes: on sway, a pointer that crossed Firefox's window
# just after Firefox's drag ended lost its next click.
store_capture() {
    read -r x y _ _ <<< "$(capture_geometry)"
    echo "storing from the capture window at $x,$y"
    lab ptr "go:$((x + 30)):$((y + 281))" click
}
# The stored text files' content, in UTF-8, one after the other.
stored_texts() {
    python3 - "$LAB/app" << 'EOF'
import pathlib, sys
for f in sorted(pathlib.Path(sys.argv[1]).rglob("*.txt")):
    print(f.read_bytes().decode("gbk"))
EOF
}
stored_rows() {
    python3 -c 'import sqlite3, sys; print(sqlite3.connect(sys.argv[1]).execute("select count(*) from filedata").fetchone()[0])' \
        "$LAB/app/filelist.db"
}
stored_sources() {
    python3 -c 'import sqlite3, sys
for row in sqlite3.connect(sys.argv[1]).execute("select * from filedata"): print(row[-1])' "$LAB/app/filelist.db"
}
rows_grew() { [ "$(stored_rows)" -gt "$rows_before" ]; }
# A browser that has just joined the accessibility bus answers slowly: its address may reach the
# stored row a moment after the row.
last_source_is_page() { [ "$(stored_sources | tail -1)" = "$page" ]; }
occurrences() { stored_texts | { grep -o -F "$1" || true; } | wc -l; }

# --- web mode
start_notavo
# Shown at start, the bar goes once the pointer has not come onto it.
check "the bar hides on its own with the pointer away" retry 8 bar_hidden
lab ptr home go:640:300 go:640:40 go:640:0
check "the pointer at the top edge over Firefox drops the bar" retry 5 bar_shown
lab ptr go:640:400
# On mutter no leave comes (X never saw the pointer on the bar): the bar's wait for the pointer ends it.
check "the bar goes again as the pointer leaves it" retry 8 bar_hidden

# Select the paragraph (three clicks), then drag it to the top edge and onto the dropped bar.
# A press soon after would be a fourth click, not the start of a drag.
lab ptr home go:300:257 click click click sleep:1.5
if bar_shown; then
    echo "SKIP: the drag from Firefox (the bar was still shown before it)"
else
    # GTK starts a drag once the pressed pointer has moved a few pixels, in more than one motion.
    to_edge=(press go:302:256 go:305:254 go:310:251 go:330:240 go:420:150 go:520:40 go:520:1 sleep:0.5)
    onto_bar=(go:520:12 go:522:14 sleep:0.3 release sleep:0.5)
    if [ "$compositor" = sway ]; then
        lab ptr "${to_edge[@]}"
        check "a drag from Firefox at the top edge drops the bar" bar_shown
        lab ptr "${onto_bar[@]}"
    else
        # One pointer session from press to release: mutter ends a drag with its input session.
        lab ptr "${to_edge[@]}" "${onto_bar[@]}"
    fi
    # On sway the top-edge strip takes the drop over the bar (wlroots hands none from a Wayland
    # program to an Xwayland window); on mutter the bar takes it through Xwayland.
    check "the drag from Firefox dropped the bar, and the bar took the drop" full_shown
    rows_before=0
    store_capture
    check "the dragged paragraph is stored" retry 5 rows_grew
    check "the dragged paragraph is stored once" test "$(occurrences "$paragraph")" -eq 1
    check "the dragged paragraph is stored with the page's full address" retry 5 last_source_is_page
    echo "source of the dragged paragraph: $(stored_sources | tail -1)"
fi
stop_notavo

# --- pen mode
start_notavo NOTAVO_START_IN_PEN_MODE=1
# Firefox joins the accessibility bus only once Notavo has turned the switch on; Notavo looks for
# its active frame then and again two seconds later.
sleep 3
lab ptr home go:300:257 click
lab key ctrl+a ctrl+c
check "a copy in Firefox shows in the pen window" retry 8 full_shown
sleep 1
rows_before=$(stored_rows)
texts_before=$(occurrences "$paragraph")
store_capture
check "the copy in Firefox is stored" retry 5 rows_grew
check "the stored copy holds the paragraph once" test "$(occurrences "$paragraph")" -eq $((texts_before + 1))
check "the copy in Firefox is stored with the page's full address" retry 5 last_source_is_page
echo "source of the copy: $(stored_sources | tail -1)"

# A stored capture hides the pen window: a fresh start shows it for the next copy. The clipboard
# is emptied first, so that the start does not take the paragraph again.
stop_notavo
if ! lab run wl-copy --clear > "$LAB/wl-copy.log" 2>&1; then
    # Without data control, wl-copy needs a focused window of its own, which mutter may not give.
    echo "SKIP: wl-copy cannot copy on this desktop: $(head -1 "$LAB/wl-copy.log")"
    exit "$([ "$failures" -eq 0 ] && echo 0 || echo 1)"
fi
start_notavo NOTAVO_START_IN_PEN_MODE=1
copied="wl-copy 文字 $RANDOM$RANDOM"
lab run wl-copy -- "$copied"
check "a copy made by wl-copy shows in the pen window" retry 8 full_shown
sleep 2
rows_before=$(stored_rows)
store_capture
check "the wl-copy text is stored" retry 5 rows_grew
check "the wl-copy text is captured once" test "$(occurrences "$copied")" -eq 1
stop_notavo

[ "$failures" -eq 0 ]
