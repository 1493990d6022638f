#!/usr/bin/env bash
# Installs what is missing, then configures and builds the game and its tests in
# build/ (or BUILD_DIR); extra arguments go to the build step (e.g. --target).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
dir="${BUILD_DIR:-build}"
log="$dir.log"
# Rebuilds after a merge reuse earlier compilations when ccache is installed.
launcher=""
command -v ccache > /dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" $launcher ${CMAKE_EXTRA_ARGS:-} > "$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build "$dir" -j "$(nproc)" "$@" >> "$log" 2>&1 || { tail -60 "$log"; exit 1; }
rm -f "$log"
