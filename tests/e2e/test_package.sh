#!/usr/bin/env bash
# The Debian package (cpack -G DEB): the same files as cmake --install puts under /usr, the
# libraries and plug-ins it needs declared, and the program from it runs.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
fail() { echo "FAIL: $*" >&2; exit 1; }
build=$(cd "$(dirname "$PRIPOMIN_BIN")/.." && pwd)

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$E2E_TMP/package" >"$E2E_TMP/cpack.log" 2>&1 ||
    fail "cpack: $(tail -5 "$E2E_TMP/cpack.log")"
deb=$(ls "$E2E_TMP"/package/pripomin_*_amd64.deb)
DESTDIR=$E2E_TMP/installed cmake --install "$build" --prefix /usr >/dev/null
listing() { (cd "$1" && find . -mindepth 1 | sort); }
mkdir -p "$E2E_TMP/unpacked"
dpkg-deb -x "$deb" "$E2E_TMP/unpacked"
diff <(listing "$E2E_TMP/installed") <(listing "$E2E_TMP/unpacked") || fail "the package's files differ from cmake --install"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6multimedia6 libqt6dbus6 gstreamer1.0-plugins-good qt6-translations-l10n; do
    grep -q "$needed" <<<"$depends" || fail "$needed not in Depends: $depends"
done

# What the package installs runs, through the link in bin.
e2e_start_display
PRIPOMIN_BIN=$E2E_TMP/unpacked/usr/bin/pripomin
e2e_start_pripomin
wait_until 20 "the main window of the packaged program" window_named Pripomin
echo PASS
