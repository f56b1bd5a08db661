#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The hardening checks: every test built with AddressSanitizer and UndefinedBehaviorSanitizer, then
# each libFuzzer target for 30 s on its committed seed corpus. Fails on any finding. Installs only
# what is missing and builds incrementally, so running it again is cheap.
#   tools/ci-hardening.sh
# Build folders: $PRIPOMIN_ASAN_DIR (build-asan, gcc) and $PRIPOMIN_FUZZ_DIR (build-fuzz-ci, clang).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
asan=${PRIPOMIN_ASAN_DIR:-$here/build-asan}
fuzz=${PRIPOMIN_FUZZ_DIR:-$here/build-fuzz-ci}
fuzz_seconds=${PRIPOMIN_FUZZ_SECONDS:-30}
started=$SECONDS

# The same packages as the ordinary build and tests, plus clang and its sanitizer and libFuzzer runtimes.
# shellcheck source=tools/packages.sh
source "$here/tools/packages.sh"
packages+=("${test_packages[@]}" clang libclang-rt-14-dev)
install_missing

# Qt, fontconfig and the D-Bus library keep process-lifetime allocations that LeakSanitizer reports
# at exit of every Qt program; the leak check stays on in the fuzzers, where our code runs alone.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== tests with AddressSanitizer and UndefinedBehaviorSanitizer ($asan)"
cmake -S "$here" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRIPOMIN_SANITIZE=ON \
    -DPRIPOMIN_BENCH=OFF >/dev/null
cmake --build "$asan" -j2
# The package test builds its own package without sanitizers; the ordinary suite ran it already.
(cd "$asan" && ctest --output-on-failure --timeout 600 -j2 --label-exclude package)

echo "== fuzzers, ${fuzz_seconds} s each on their seed corpora ($fuzz)"
CXX=clang++ cmake -S "$here" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRIPOMIN_FUZZ=ON \
    -DPRIPOMIN_SANITIZE=ON -DPRIPOMIN_TESTS=OFF -DPRIPOMIN_BENCH=OFF >/dev/null
cmake --build "$fuzz" -j2 --target fuzzers
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for source in "$here"/fuzz/*_fuzzer.cpp; do
    name=$(basename "$source" .cpp)
    corpus=$here/fuzz/corpus/${name%_fuzzer}
    dict=$here/fuzz/${name%_fuzzer}.dict
    # New inputs go to a scratch folder; the committed corpus is only read.
    mkdir -p "$work/$name"
    args=(-max_total_time="$fuzz_seconds" -artifact_prefix="$work/$name-" -print_final_stats=1)
    [ -f "$dict" ] && args+=(-dict="$dict")
    echo "-- $name"
    if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 "$fuzz/fuzz/$name" "${args[@]}" "$work/$name" "$corpus" \
        >"$work/$name.log" 2>&1; then
        tail -60 "$work/$name.log"
        for crash in "$work/$name"-*; do
            [ -f "$crash" ] && echo "finding: $(basename "$crash"): $(head -c 300 "$crash" | od -c | head -5)"
        done
        echo "FAIL: $name found a fault" >&2
        exit 1
    fi
    grep -E '^stat::number_of_executed_units|^Done' "$work/$name.log" || true
done

echo "hardening checks passed in $((SECONDS - started)) s"
