# Drives mutter's pointer and keyboard through its RemoteDesktop D-Bus API (one process, one session).
# Tokens: home | go:X:Y | press | release | click | key:KEYSYM[+KEYSYM] | sleep:SECONDS. From the
# project's shared headless Wayland lab (shared/wayland-lab/rdptr.py).
import os, sys, time
from gi.repository import Gio, GLib
bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
def call(path, iface, method, args=None):
    return bus.call_sync("org.gnome.Mutter.RemoteDesktop", path, iface, method, args, None, Gio.DBusCallFlags.NONE, -1, None)
S = "org.gnome.Mutter.RemoteDesktop.Session"
sess = call("/org/gnome/Mutter/RemoteDesktop", "org.gnome.Mutter.RemoteDesktop", "CreateSession").unpack()[0]
call(sess, S, "Start"); time.sleep(0.5)
def rel(dx, dy): call(sess, S, "NotifyPointerMotionRelative", GLib.Variant("(dd)", (dx, dy)))
def step_to(cur, x, y, n=8):
    for i in range(n):
        rel((x - cur[0]) / n, (y - cur[1]) / n); time.sleep(0.06)
    return [x, y]
# Motion is relative: where the last run left the pointer is kept for the next one.
state = os.path.join(os.environ.get("XDG_RUNTIME_DIR", "/tmp"), "pointer.position")
try:
    cur = [float(v) for v in open(state).read().split()]
except (OSError, ValueError):
    cur = [0, 0]
for tok in sys.argv[1:]:
    p = tok.split(":")
    if p[0] == "home": rel(-5000, -5000); time.sleep(0.1); cur = [0, 0]
    elif p[0] == "go": cur = step_to(cur, float(p[1]), float(p[2]))
    elif p[0] == "press": call(sess, S, "NotifyPointerButton", GLib.Variant("(ib)", (0x110, True)))
    elif p[0] == "release": call(sess, S, "NotifyPointerButton", GLib.Variant("(ib)", (0x110, False)))
    elif p[0] == "click":
        call(sess, S, "NotifyPointerButton", GLib.Variant("(ib)", (0x110, True))); time.sleep(0.05)
        call(sess, S, "NotifyPointerButton", GLib.Variant("(ib)", (0x110, False))); time.sleep(0.05)
    elif p[0] == "key":
        syms = [int(s, 16) for s in p[1].split("+")]
        for s in syms: call(sess, S, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (s, True))); time.sleep(0.05)
        for s in reversed(syms): call(sess, S, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (s, False))); time.sleep(0.05)
    elif p[0] == "sleep": time.sleep(float(p[1]))
    with open(state, "w") as f:
        f.write("%g %g" % tuple(cur))
    print("done", tok, flush=True)
call(sess, S, "Stop")
