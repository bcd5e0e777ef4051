#!/usr/bin/env bash
# Configures and builds one build directory: scripts/build.sh DIR [cmake options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
cmake -S "$top" -B "$top/$dir" "$@" >/dev/null
cmake --build "$top/$dir" -j2
