#!/usr/bin/env bash
# Runs the program under a virtual display and saves PNGs of its windows into screenshots/:
# splash, main window, a menu open, the window list, the about window and the error window
# (each as the whole screen, NAME.png, and as the window alone, NAME_window.png).
# The tour ends by raising a demonstration error, so the program ends with code 1 as every run
# that meets an error does.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build/bin/vorelia}
out=${2:-screenshots}
if [ ! -x "$exe" ]; then
  echo "screenshots: $exe not found; build first (make build)" >&2
  exit 1
fi
mkdir -p "$out"
rm -f "$out"/*.png
code=0
VORELIA_SCREENSHOT="$(cd "$out" && pwd)" timeout 120 \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$exe" || code=$?
if [ "$code" -ne 1 ]; then
  echo "screenshots: the program ended with code $code (expected 1 after the error window)" >&2
  exit 1
fi
missing=0
for name in splash main main_menu window_menu about error; do
  if [ ! -s "$out/$name.png" ]; then
    echo "screenshots: $out/$name.png was not written" >&2
    missing=1
  fi
done
[ "$missing" -eq 0 ] || exit 1
echo "screenshots: written to $out/"
ls "$out"
