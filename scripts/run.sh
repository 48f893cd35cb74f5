#!/usr/bin/env bash
# Installs what is missing, builds Zelbra and starts it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release >/dev/null
exec "$root/build/release/app/zelbra" "$@"
