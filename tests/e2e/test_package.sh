#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a distribution builds it: dpkg-buildpackage in a clean copy of the tree (the
# unit tests run during that build), lintian, the AppStream and launcher validators all clean, the
# same files as cmake --install puts under /usr, one version everywhere, and the program installed
# with apt starts from /usr/bin and is purged again.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
fail() { echo "FAIL: $*" >&2; exit 1; }
build=$(cd "$(dirname "$PRIPOMIN_BIN")/.." && pwd)
source_dir=$(cd "${PRIPOMIN_SOURCE_DIR:-$E2E_DIR/../..}" && pwd)
[ "$(id -u)" -eq 0 ] || fail "installing the package needs root"
# The test installs and purges a package of its own; one the user installed is left alone.
! dpkg-query -W -f='${Status}' pripomin 2>/dev/null | grep -q installed ||
    fail "a pripomin package is installed on this machine; remove it to run this test"

# dpkg-buildpackage writes its results beside the source folder, so the copy has a folder of its own;
# only the files git knows go in, as in a clean checkout.
tree=$E2E_TMP/src/pripomin
mkdir -p "$tree"
git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
    tar -C "$source_dir" --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -C "$tree" -xf -
started=$SECONDS
(cd "$tree" && DEB_BUILD_OPTIONS="parallel=2" dpkg-buildpackage -us -uc -b) >"$E2E_TMP/build.log" 2>&1 ||
    fail "dpkg-buildpackage: $(tail -30 "$E2E_TMP/build.log")"
echo "package built in $((SECONDS - started)) s"
grep -q 'tests passed' "$E2E_TMP/build.log" || fail "the unit tests did not run in the package build"
! grep -Eq 'Test +#[0-9]+: e2e\.' "$E2E_TMP/build.log" || fail "an end-to-end test ran in the package build"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$E2E_TMP/src/pripomin_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$E2E_TMP/src")"

# lintian: informational tags may stay (the README gives the deliberate ones), nothing worse.
lintian --fail-on error,warning --display-info "$deb" >"$E2E_TMP/lintian.log" 2>&1 ||
    fail "lintian: $(cat "$E2E_TMP/lintian.log")"
cat "$E2E_TMP/lintian.log"

unpacked=$E2E_TMP/unpacked
dpkg-deb -x "$deb" "$unpacked"
metainfo=$(ls "$unpacked"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" >"$E2E_TMP/appstream.log" 2>&1 ||
    fail "appstreamcli: $(cat "$E2E_TMP/appstream.log")"
! grep -q '^[EW]:' "$E2E_TMP/appstream.log" || fail "appstreamcli: $(cat "$E2E_TMP/appstream.log")"
launcher=$unpacked/usr/share/applications/pripomin.desktop
out=$(desktop-file-validate "$launcher" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
grep -q "<launchable type=\"desktop-id\">pripomin.desktop</launchable>" "$metainfo" ||
    fail "the AppStream launchable is not the launcher"

# One version: the project's, in the package, the AppStream release, the manual page and the help.
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version), project $version"
released=$(date -u +%F -d "$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Date)")
grep -q "<release version=\"$version\" date=\"$released\"" "$metainfo" || fail "the AppStream release is not the changelog's: $(grep '<release' "$metainfo")"
zcat "$unpacked/usr/share/man/sk/man1/pripomin.1.gz" | grep -q "^\.TH PRIPOMIN 1 .*\"Pripomin $version\"" ||
    fail "the Slovak manual page does not name version $version"
grep -q "verzia $version\." "$unpacked/usr/lib/pripomin/Pripomin.html" || fail "the help does not name version $version"

# The same files as cmake --install, besides what Debian adds (the package's documentation) and
# compresses (the manual pages).
DESTDIR=$E2E_TMP/installed cmake --install "$build" --prefix /usr >/dev/null
listing() { (cd "$1" && find . -mindepth 1 -not -path './usr/share/doc*' | sed 's/\.gz$//' | sort); }
diff <(listing "$E2E_TMP/installed") <(listing "$unpacked") || fail "the package's files differ from cmake --install"
[ -x "$unpacked/usr/lib/pripomin/pripomin-melody" ] || fail "the melody's player is not in the package"
for needed in libqt6widgets6 libqt6dbus6 libpulse0 qt6-translations-l10n; do
    grep -q "$needed" <<<"$(dpkg-deb -f "$deb" Depends)" || fail "$needed not in Depends"
done

# Installed as a user installs it, the program starts from the link in /usr/bin; then it is purged.
e2e_at_exit '! dpkg-query -W pripomin >/dev/null 2>&1 || apt-get purge -y -qq pripomin >/dev/null'
(cd "$E2E_TMP/src" && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=300 "./$(basename "$deb")") >"$E2E_TMP/apt.log" 2>&1 ||
    fail "apt install: $(tail -20 "$E2E_TMP/apt.log")"
[ "$(readlink -f /usr/bin/pripomin)" = /usr/lib/pripomin/pripomin ] || fail "/usr/bin/pripomin is not the installed program"
# man picks the page by locale (a machine whose dpkg leaves out manual pages has none to pick).
if ! grep -rqs 'path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d; then
    man -w pripomin >/dev/null && LANGUAGE= LC_ALL=sk_SK.UTF-8 man -w pripomin | grep -q /sk/ ||
        fail "man does not find the Slovak page: $(LC_ALL=sk_SK.UTF-8 man -w pripomin 2>&1)"
fi
e2e_start_display
PRIPOMIN_BIN=/usr/bin/pripomin
e2e_start_pripomin
wait_until 20 "the main window of the installed program" window_named Pripomin
kill "$PRIPOMIN_PID"
wait_until 20 "the installed program to end" process_gone "$PRIPOMIN_PID"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=300 pripomin >"$E2E_TMP/purge.log" 2>&1 ||
    fail "apt purge: $(tail -20 "$E2E_TMP/purge.log")"
[ ! -e /usr/bin/pripomin ] && [ ! -e /usr/lib/pripomin ] || fail "the purge left the program behind"
echo PASS
