#!/usr/bin/env bash
# Installs what the project needs, builds it, and runs the scanner: on this
# machine's wireless adapter when it has one, else on the simulated street
# walk; without a display, headless, writing a screenshot.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja >/dev/null
cmake --build "$top/build" --target tarvolin tarvolin-demo tarvolin-scan

bin="$top/build"
adapters=$("$bin/tools/tarvolin-scan/tarvolin-scan" 2>/dev/null || true)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  shot="$top/tarvolin-screenshot.png"
  "$bin/src/app/tarvolin-demo" --screenshot "$shot" --ticks 25 >/dev/null
  echo "No display here: ran the simulated street walk headless; its window is in $shot"
  echo "To see Tarvolin live, run ./scripts/run.sh in a terminal of a desktop session."
  exit 0
fi

if [ -n "$adapters" ]; then
  exec "$bin/src/app/tarvolin"
fi
echo "No wireless adapter found: showing the simulated street walk (tarvolin-demo) instead."
exec "$bin/src/app/tarvolin-demo"
