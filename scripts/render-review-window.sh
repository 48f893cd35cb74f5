#!/usr/bin/env bash
# Builds the review-window render program and writes PNG pictures of the
# review window with a week of time, at 100 % and 200 % scaling, offscreen.
#     scripts/render-review-window.sh [build dir] [output dir]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/render}"
out="${2:-$root/build/screens}"
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$build" --target zelbra_render_review --parallel 2 >/dev/null
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
# Leak checks are for the test suite; a sanitizer build must not fail a render.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
QT_SCALE_FACTOR=1 "$build/review/zelbra_render_review" "$out" ""
QT_SCALE_FACTOR=2 "$build/review/zelbra_render_review" "$out" "@2x"
