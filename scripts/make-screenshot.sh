#!/usr/bin/env bash
# Makes the screenshots the metainfo shows, resources/screenshots/capture.png and history.png: the
# installed program under Xvfb and openbox, with a home, fonts and display of its own, shows a
# copied text in its capture window (pen mode) and stores it and a few more, which the history
# browser then lists.
#
#   scripts/make-screenshot.sh [BUILD_DIR]      default: build-release (as ./run.sh builds it)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh release
build=${1:-build-release}
if [ ! -x "$build/bin/Notavo" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOTAVO_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" -j "$(nproc)"
fi
shots=$PWD/resources/screenshots
mkdir -p "$shots"

work=$(mktemp -d /tmp/notavo-demo.XXXXXX)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Installed as the package installs it, so that its data goes to the private home.
DESTDIR=$work/root cmake --install "$build" --prefix /usr >/dev/null
program=$work/root/usr/bin/notavo
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/run
unset LC_ALL LC_TIME LC_NUMERIC LC_MESSAGES
# A Chinese user's locale, as Qt reads it (glibc's own zh_CN data need not be installed).
notavo_locale=(LANG=zh_CN.UTF-8 LC_CTYPE=C.UTF-8)
unset QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# Noto Sans CJK where it is installed (the package's first choice), else WenQuanYi Micro Hei.
cat >"$work/fonts.conf" <<'EOF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <alias binding="strong">
    <family>sans-serif</family>
    <prefer><family>Noto Sans CJK SC</family><family>WenQuanYi Micro Hei</family></prefer>
  </alias>
</fontconfig>
EOF
export FONTCONFIG_FILE=$work/fonts.conf

Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(cat "$work/display")
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

notavo=''
start_program() {  # pen|web: in pen mode its box shows at start, in web mode it hides at the top edge
    if [ "$1" = pen ]; then export NOTAVO_START_IN_PEN_MODE=1; else unset NOTAVO_START_IN_PEN_MODE; fi
    env "${notavo_locale[@]}" "$program" >>"$work/notavo.log" 2>&1 &
    notavo=$!
    pids+=("$notavo")
    sleep 4 # the splash closes after two seconds
}
click_in() {  # window x y: a click at x,y of the window's inside (xwininfo knows where that is)
    local left top
    left=$(LC_ALL=C xwininfo -id "$1" | sed -n 's/.*Absolute upper-left X: *//p')
    top=$(LC_ALL=C xwininfo -id "$1" | sed -n 's/.*Absolute upper-left Y: *//p')
    xdotool mousemove "$((left + $2))" "$((top + $3))" click 1
}
window_named() {  # the first visible window of the program with this title
    { xdotool search --onlyvisible --pid "$notavo" --name "$1" 2>/dev/null || true; } | head -n 1
}
# Copies a text; the pen box grows to show it; a click on a category button stores it and hides
# the box, which a new start of the program shows again.
capture() {  # x y (of the category button in the capture window), text, [screenshot to take]
    local x=$1 y=$2 text=$3 shot=${4:-} window='' width=0 clipboard
    start_program pen
    printf '%s' "$text" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
    clipboard=$!
    for _ in $(seq 50); do
        window=$(window_named '^Notavo$')
        [ -n "$window" ] && width=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
        [ "${width:-0}" -gt 200 ] && break
        sleep 0.2
    done
    [ "${width:-0}" -gt 200 ] || fail "the pen box did not show the copied text"
    sleep 0.5
    [ -z "$shot" ] || import -window "$window" -strip "$shot"
    click_in "$window" "$x" "$y"
    sleep 1
    # Nobody owns the clipboard at the next start, so that the next box shows only the next text.
    kill "$clipboard" "$notavo"
    wait "$clipboard" "$notavo" || true
}
capture 96 281 '春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。孟浩然的《春晓》写春天早晨的所见所闻。'
capture 96 281 '学而时习之，不亦说乎？有朋自远方来，不亦乐乎？人不知而不愠，不亦君子乎？'
capture 152 281 '写作笔记：好的开头要在三句话之内交代人物、地点和冲突，让读者想知道接下来会发生什么。'
capture 96 305 '今日天气晴，最高气温二十三度，最低气温十二度，东南风二到三级，空气质量良。'
capture 24 281 '远上寒山石径斜，白云生处有人家。停车坐爱枫林晚，霜叶红于二月花。' "$shots/capture.png"
[ "$(find "$XDG_DATA_HOME/Notavo" -name '*.txt' | wc -l)" -ge 5 ] ||
    { cat "$work/notavo.log"; fail "the captures were not stored"; }

# A second start brings the running program's history browser forward.
start_program web
env "${notavo_locale[@]}" "$program"
history=''
for _ in $(seq 50); do history=$(window_named '历史记录'); [ -n "$history" ] && break; sleep 0.2; done
[ -n "$history" ] || fail "no history browser"
xdotool windowmove "$history" 40 40 windowactivate --sync "$history"
sleep 1
# The tree's last node, 时间 → 今天 (its arrow, the node, then End), lists the day's records.
click_in "$history" 24 56
sleep 0.5
click_in "$history" 70 56
xdotool key End
sleep 1
import -window "$history" -frame -strip "$shots/history.png"
echo "$shots/capture.png $shots/history.png"
