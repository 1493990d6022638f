#!/usr/bin/env bash
# Installs every Debian package the game, its tools and its tests need.
# Packages already present are skipped, so a second run takes a second or two.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config python3
  libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev
  libguichan-dev libtinyxml-dev
  libboost-dev libboost-filesystem-dev libboost-system-dev libboost-date-time-dev
  libfreetype-dev libfontconfig-dev fonts-ipafont-gothic libpng-dev
  libgl-dev libgl1-mesa-dri libglx-mesa0 libglu1-mesa-dev
  googletest libgtest-dev
  xvfb xauth xdotool x11-utils
  dpkg-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
