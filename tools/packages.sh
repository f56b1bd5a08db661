# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by tools/dev.sh and tools/ci-hardening.sh: the Debian packages the project needs and a
# function that installs only the missing ones (and the locales the tests read dates in).
# Source it; `packages` starts as what building and running need; add `test_packages` (or other
# needs) before calling install_missing.

# Building and running: the compiler and Qt, Qt's Wayland platform for a desktop without X, the
# sound server's client library for the melody, and a font; libxcb for the lock's watch on the X server.
run_packages=(
    build-essential cmake ninja-build pkg-config libxcb1-dev libpulse-dev
    qt6-base-dev qt6-translations-l10n qt6-wayland fonts-dejavu-core
)
# The tests and benchmarks besides: X servers, window managers and panels to run under, tools that
# drive and read the program from outside, a sound server, a logind mock, LibreOffice to read the notes, the
# locales the dates are read in; building the Debian package and checking it as a distribution would.
test_packages=(
    libbenchmark-dev locales clang-format
    libreoffice-writer-nogui
    xvfb xauth x11-utils x11-xserver-utils xdotool imagemagick trayer openbox
    xfce4-panel xfwm4 xfconf i3-wm weston
    faketime inotify-tools pulseaudio pulseaudio-utils dbus dbus-x11 libglib2.0-bin python3-dbusmock python3-xlib at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    debhelper dpkg-dev fakeroot lintian appstream desktop-file-utils man-db
)
packages=("${run_packages[@]}")

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
    local missing=() p l
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
    # The tests read dates in Slovak and US English; generate those locales once.
    command -v locale-gen >/dev/null || return 0
    local wanted=()
    for l in sk_SK en_US; do
        locale -a 2>/dev/null | grep -qi "^$l.utf-\?8$" || wanted+=("$l")
    done
    if [ ${#wanted[@]} -gt 0 ]; then
        for l in "${wanted[@]}"; do
            as_root sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
            grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
        done
        as_root locale-gen >/dev/null
    fi
}
