#!/usr/bin/env bash
# Starts the program, or says clearly why it cannot: it needs a display.
set -euo pipefail
exe=${1:-build/bin/vorelia}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "vorelia: no display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "Start it from a desktop session, or under a virtual display: xvfb-run -a $exe" >&2
  exit 1
fi
exec "$exe"
