#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Gainbook
# needs. Safe to run again: when everything is present it only checks.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libsqlite3-dev
  qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin qt6-charts-dev
  libgl-dev libfreexl-dev libzip-dev
  fonts-dejavu-core xvfb xauth poppler-utils
  dpkg-dev file groff-base
  # The linker the build uses when present (CMakeLists.txt, GAINBOOK_LLD):
  # a quarter of the default linker's time on the test programs.
  lld
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
