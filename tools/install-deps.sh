#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing need.
# Idempotent: does nothing (and prints nothing) when every package is present;
# refreshes the package lists only when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  clang libclang-rt-dev
  libgtest-dev libbenchmark-dev
  liballegro4-dev libfreetype-dev libsdl2-dev libsndfile1-dev
  xvfb xdotool x11-utils imagemagick librsvg2-bin
  desktop-file-utils appstream cloc valgrind
  fonts-league-spartan fonts-bebas-neue
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
