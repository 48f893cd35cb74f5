#!/usr/bin/env bash
# Builds the release flavour and runs every benchmark.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release >/dev/null
for b in "$root"/build/release/bench/bench_*; do
  [[ -x "$b" ]] && "$b" "$@"
done
