#!/usr/bin/env bash
# tools/wine-ctest.sh BUILD_FOLDER [CTEST OPTIONS...]: runs CTest on a Windows build folder, whose
# test programs CMake runs through wine, in a wine prefix of its own that lives for this run only.
set -euo pipefail
folder=$1
shift

scratch=$(mktemp -d "${TMPDIR:-/tmp}/memcard-wine.XXXXXX")
export WINEPREFIX="$scratch/prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and wine would try to install them on first start.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Console programs only: no window may open, on a desktop or on a machine without one.
unset DISPLAY WAYLAND_DISPLAY

finish() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$scratch"
}
trap finish EXIT

# The server stays up between test programs, and the prefix is made (about 10 s) before CTest
# starts. Wine's background services must not inherit CTest's output, or CTest waits on them.
mkdir -p "$WINEPREFIX"
wineserver -p
wine wineboot </dev/null >/dev/null 2>&1

ctest --test-dir "$folder" "$@"
