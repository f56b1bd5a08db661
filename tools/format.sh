#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Formats the C++ sources with the committed .clang-format and gives every source file its licence
# line, or checks that they are so.
#   tools/format.sh         format in place, adding the licence line where it is missing
#   tools/format.sh check   fail, naming the places, where a file differs from its formatted self or
#                           lacks the licence line
set -euo pipefail
cd "$(dirname "$0")/.."

# The licence line: the first line of a file, or the second after a script's "#!" line.
spdx='SPDX-License-Identifier: GPL-3.0-or-later'
mapfile -t licensed < <(git ls-files '*.cpp' '*.h' '*.sh' '*.py' '*.cmake' '*CMakeLists.txt' .ci/run)
unlicensed=()
for f in "${licensed[@]}"; do
    [ -f "$f" ] || continue
    head -2 "$f" | grep -qF "$spdx" || unlicensed+=("$f")
done

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = check ]; then
    if [ ${#unlicensed[@]} -gt 0 ]; then
        for f in "${unlicensed[@]}"; do echo "$f: no \"$spdx\" line at the top (tools/format.sh adds it)" >&2; done
        exit 1
    fi
    clang-format --dry-run --Werror "${files[@]}"
    echo "format check: ${#files[@]} files formatted, ${#licensed[@]} with their licence line"
else
    for f in "${unlicensed[@]}"; do
        case $f in
        *.cpp | *.h) line="// $spdx" ;;
        *) line="# $spdx" ;;
        esac
        if [ ! -s "$f" ]; then
            echo "$line" >"$f"
        elif head -1 "$f" | grep -q '^#!'; then
            sed -i "1a\\$line" "$f"
        else
            sed -i "1i\\$line" "$f"
        fi
    done
    clang-format -i "${files[@]}"
fi
