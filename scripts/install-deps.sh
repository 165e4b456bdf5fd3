#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the application need.
# Runs as root or through sudo; packages already present are left alone.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
  qt6-base-dev libqt6opengl6-dev libqt6svg6
  libglu1-mesa-dev freeglut3-dev libgl1-mesa-dri libx11-dev
  xvfb xauth fonts-dejavu-core fonts-liberation2 locales
  shared-mime-info desktop-file-utils xdg-utils libfile-mimeinfo-perl libglib2.0-bin
)
# Extra packages a caller may ask for (the comparison benchmarks use them).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
