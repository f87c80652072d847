#!/usr/bin/env bash
# Redraws the format pictures and window icons in assets/ (1x and @2x PNGs) and the
# selector's two-colour background picture.
# Builds the small draw_assets program from this folder in a throw-away build
# directory and runs it headless, writing straight into assets/.
set -euo pipefail

tools_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
assets_dir="$(dirname "$tools_dir")"
build_dir="$(mktemp -d)"
trap 'rm -rf "$build_dir"' EXIT

cmake -S "$tools_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" --parallel >/dev/null
QT_QPA_PLATFORM=offscreen "$build_dir/draw_assets" "$assets_dir"
QT_QPA_PLATFORM=offscreen "$build_dir/draw_background" "$assets_dir"
