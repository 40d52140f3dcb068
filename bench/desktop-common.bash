# Shared by discovery.sh and pen-latency.sh (sourced, not a benchmark of its own): a desktop of
# the benchmark's own on which it meets a real browser.
#
# start_desktop: a work folder ($work, removed at exit with every process listed in $pids), an
# X server, a session bus, the accessibility bus and openbox. DISPLAY and DBUS_SESSION_BUS_ADDRESS
# point at them; the desktop's settings (where the accessibility switch is kept) stay in $work.
# set_accessibility true|false: the desktop's accessibility switch; fails when the bus does not answer.
# write_browser_page: a quiet Firefox profile ($work/profile) and a long local page ($work/page.html).
# write_heavy_page: a page as heavy as long Chinese articles get ($work/heavy.html): 2 MB of Chinese
# text and 265 tables.

start_desktop() {
    work=$(mktemp -d)
    pids=()
    trap stop_desktop EXIT
    exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
    pids+=($!)
    read -r -t 15 display <&3
    export DISPLAY=:$display
    export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
    unset GNOME_ACCESSIBILITY QT_ACCESSIBILITY QT_LINUX_ACCESSIBILITY_ALWAYS_ON
    mapfile -t bus < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null)
    pids+=("${bus[1]}")
    export DBUS_SESSION_BUS_ADDRESS=${bus[0]}
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & pids+=($!)
    openbox >/dev/null 2>&1 & pids+=($!)
}

stop_desktop() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}

set_accessibility() {
    for _ in $(seq 1 50); do
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
            string:org.a11y.Status string:IsEnabled variant:boolean:"$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

write_browser_page() {
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
}

write_heavy_page() {
    python3 - "$work/heavy.html" <<'PY'
import random, sys
chars = ('的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而方后'
         '多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由'
         '其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建')
rng = random.Random(19)
out, size, tables, paragraphs = [], 0, 0, 0
out.append('<!doctype html><html><head><meta charset="utf-8"><title>Notavo 长文页面</title></head><body>')
while size < 2 * 1024 * 1024:
    text = ''.join(rng.choice(chars) for _ in range(rng.randint(120, 400))) + '。'
    out.append(f'<p>{text}</p>')
    size += len(text.encode())
    paragraphs += 1
    if paragraphs % 10 == 0 and tables < 265:
        tables += 1
        rows = ''.join('<tr>' + ''.join(f'<td>{"".join(rng.choice(chars) for _ in range(4))}{r * 5 + c}</td>'
                                        for c in range(5)) + '</tr>' for r in range(8))
        out.append(f'<table border="1"><caption>表 {tables}</caption>{rows}</table>')
while tables < 265:
    tables += 1
    out.append(f'<table border="1"><caption>表 {tables}</caption><tr><td>{tables}</td></tr></table>')
out.append('</body></html>')
open(sys.argv[1], 'w', encoding='utf-8').write('\n'.join(out))
PY
}
