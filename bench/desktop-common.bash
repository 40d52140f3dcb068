# Shared by discovery.sh and pen-latency.sh (sourced, not a benchmark of its own): a desktop of
# the benchmark's own on which it meets a real browser.
#
# start_desktop: a work folder ($work, removed at exit with every process listed in $pids), an
# X server, a session bus, the accessibility bus and openbox. DISPLAY and DBUS_SESSION_BUS_ADDRESS
# point at them; the desktop's settings (where the accessibility switch is kept) stay in $work.
# set_accessibility true|false: the desktop's accessibility switch; fails when the bus does not answer.
# write_browser_page: a quiet Firefox profile ($work/profile) and a long local page ($work/page.html).

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
