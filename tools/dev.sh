#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and then runs the program or every test.
#   tools/dev.sh run    build and start Pripomin on this display
#   tools/dev.sh test   build and run every test
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build="${PRIPOMIN_BUILD_DIR:-$here/build}"

# shellcheck source=tools/packages.sh
source "$here/tools/packages.sh"

build_all() {
    # Continuous integration builds with warnings as errors.
    local werror=OFF
    [ -z "${CI:-}" ] || werror=ON
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRIPOMIN_WERROR="$werror" >/dev/null
    cmake --build "$build" -j2
}

case "${1:-}" in
run)
    install_missing
    build_all
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "Pripomin is built ($build/bin/pripomin), but there is no display to show it on."
        echo "Start it from a desktop session, or under a virtual one: xvfb-run $build/bin/pripomin"
        exit 1
    fi
    exec "$build/bin/pripomin"
    ;;
test)
    packages+=("${test_packages[@]}")
    install_missing
    build_all
    cd "$build"
    ctest --output-on-failure --timeout 600 -j2
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
