#!/usr/bin/env bash
# Installs every Debian package the game, its tools and its tests need, and
# fetches Debian's Lua 5.1 source package into third_party/lua5.1/debian-source
# (the build patches a copy of it). What is already there is skipped, so a
# second run takes a second or two.
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
  dpkg-dev patch
)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Source packages need deb-src lines: made from the machine's own deb lines, so
# the sources come from the same mirror as the binary packages.
ensure_deb_src() {
  if grep -rqsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return
  fi
  echo "Adding deb-src lines for the Lua source package"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $SUDO tee /etc/apt/sources.list.d/morvaleth-deb-src.sources > /dev/null
  else
    grep -E '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list | sed -E 's/^([[:space:]]*)deb /\1deb-src /' |
      $SUDO tee /etc/apt/sources.list.d/morvaleth-deb-src.list > /dev/null
  fi
  $SUDO apt-get update -qq
}

LUA_CACHE="$(cd "$(dirname "$0")/.." && pwd)/third_party/lua5.1/debian-source"
if [ ! -f "$LUA_CACHE/src/llex.c" ]; then
  ensure_deb_src
  # apt, run as root, downloads as its own user _apt: the download goes to a temporary folder that _apt owns
  # (under /tmp, which it can reach), and the unpacked source is moved in place from there.
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  [ "$(id -u)" -eq 0 ] && id -u _apt > /dev/null 2>&1 && chown _apt "$work"
  # A deb-src line added by hand may still lack its package lists: update once and retry.
  (cd "$work" && apt-get source -qq lua5.1 > /dev/null) ||
    { $SUDO apt-get update -qq && (cd "$work" && apt-get source -qq lua5.1 > /dev/null); }
  rm -rf "$LUA_CACHE"
  mv "$work"/lua5.1-*/ "$LUA_CACHE"
  rm -rf "$work"
  echo "Lua 5.1 source: $(head -n1 "$LUA_CACHE/debian/changelog")"
fi
