#!/usr/bin/env bash
# Installs everything the build, the program and the tests need on Debian 12. Idempotent:
# when every package is present it does nothing, not even an index update.
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  qt6-base-dev libqt6opengl6-dev libgl-dev
  libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-utils
  fonts-liberation fonts-dejavu-core
  xdg-utils poppler-utils imagemagick
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
