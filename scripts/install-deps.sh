#!/usr/bin/env bash
# Installs the Debian packages Notavo needs to build ("run"), to test ("test"), to test
# everything including the real-browser and Windows checks, the fuzzers and lintian ("ci"), to run
# the benchmarks ("bench"), and for the release steps: the screenshot and the package's check in a
# clean chroot ("release").
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config
    qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n libgl-dev
    libxcb1-dev libatspi2.0-dev libdbus-1-dev
    libwayland-dev libwayland-bin
    fonts-wqy-microhei)
# Headless Wayland compositors for the Wayland tests: sway (layer shell, data control) and
# mutter (GNOME's, with neither), wl-copy to make copies in them, and for the desktop tests a
# native Firefox with synthetic input (wtype on sway, mutter's RemoteDesktop through python3-gi,
# xmessage to link sway's Xwayland to the seat, xdotool to find Notavo's windows); CI adds KWin.
wayland_lab=(sway mutter xwayland wl-clipboard util-linux wtype x11-utils xdotool firefox-esr python3 python3-gi
            gir1.2-glib-2.0)
case "${1:-run}" in
    test) packages+=(xvfb xauth openbox dbus dbus-bin at-spi2-core poppler-utils xdotool xclip
                     desktop-file-utils appstream dpkg-dev file "${wayland_lab[@]}") ;;
    ci) packages+=(xvfb xauth openbox dbus dbus-bin at-spi2-core poppler-utils xdotool xclip
                   desktop-file-utils appstream dpkg-dev file "${wayland_lab[@]}" kwin-wayland
                   firefox-esr g++-mingw-w64-x86-64-posix wine wine64
                   clang libfuzzer-14-dev libclang-rt-14-dev lintian) ;;
    bench) packages+=(xvfb xauth openbox dbus dbus-bin at-spi2-core firefox-esr xdotool xclip python3
                      libsqlite3-dev sqlite3 findutils ripgrep sway xwayland wtype x11-utils util-linux) ;;
    release) packages+=(xvfb xauth openbox dbus dbus-bin xdotool xclip x11-utils imagemagick
                        dpkg-dev file lintian debootstrap) ;;
esac
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}" ||
    { "${as_root[@]}" apt-get update && "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; }
