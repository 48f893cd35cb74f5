#!/usr/bin/env bash
# Configures and builds one flavour of Zelbra: "release" (the program and the
# benchmarks) or "test" (the test suite under AddressSanitizer and UBSan).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
flavour="${1:-release}"
case "$flavour" in
  release) dir="$root/build/release"; opts=(-DCMAKE_BUILD_TYPE=Release -DZELBRA_BUILD_TESTS=OFF -DZELBRA_BUILD_BENCH=ON) ;;
  test)    dir="$root/build/test";    opts=(-DCMAKE_BUILD_TYPE=Debug -DZELBRA_SANITIZE=ON -DZELBRA_BUILD_TESTS=ON) ;;
  *) echo "usage: build.sh release|test" >&2; exit 2 ;;
esac
if [[ ! -f "$dir/build.ninja" ]]; then
  cmake -S "$root" -B "$dir" -G Ninja "${opts[@]}"
fi
cmake --build "$dir" --parallel "$(nproc)"
echo "$dir"
