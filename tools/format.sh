#!/usr/bin/env bash
# Formats the C++ sources with the committed .clang-format, or checks that they are.
#   tools/format.sh         format in place
#   tools/format.sh check   fail, naming the places, where a file differs from its formatted self
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = check ]; then
    clang-format --dry-run --Werror "${files[@]}"
    echo "format check: ${#files[@]} files formatted"
else
    clang-format -i "${files[@]}"
fi
