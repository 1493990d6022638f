#!/usr/bin/env bash
# Installs what is missing, then configures and builds the game and its tests in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" ${CMAKE_EXTRA_ARGS:-} > build.log 2>&1 || { cat build.log; exit 1; }
cmake --build build -j "$(nproc)" >> build.log 2>&1 || { tail -60 build.log; exit 1; }
rm -f build.log
