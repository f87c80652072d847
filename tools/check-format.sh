#!/usr/bin/env bash
# Fails, naming the files, when a C++ source differs from what clang-format makes of it.
set -euo pipefail
clang_format=${1:-clang-format}
cd "$(dirname "$0")/.."
mapfile -t files < <(find cardformat converter selector apps tests bench assets fuzz \
    \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null | sort)
"$clang_format" --dry-run --Werror "${files[@]}"
echo "${#files[@]} files formatted"
