#!/usr/bin/env bash
# Installs what is missing, then configures and builds the game and its tests in
# build/ (or BUILD_DIR); extra arguments go to the build step (e.g. --target NAME
# builds that target and what it needs, nothing else). The build's progress shows
# as it goes, with any warning; its whole output is kept in <dir>.log, shown in
# part when the build fails and removed when it succeeds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
dir="${BUILD_DIR:-build}"
log="$dir.log"
# Rebuilds after a merge reuse earlier compilations when ccache is installed, and so does a build
# in another clone of the project (CI's fresh clone, a second work tree): paths inside the project
# are hashed relative to it.
launcher=""
command -v ccache > /dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
echo "Configuring $dir/"
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" $launcher ${CMAKE_EXTRA_ARGS:-} > "$log" 2>&1 || { cat "$log"; exit 1; }
echo "Building in $dir/ with $(nproc) jobs${*:+: $*}"
started=$(date +%s)
# Of make's lines, the first at each new percentage, and every warning.
set +e
cmake --build "$dir" -j "$(nproc)" "$@" 2>&1 | tee -a "$log" | awk '
  /^\[ *[0-9]+%\]/ { match($0, /[0-9]+%/); percent = substr($0, RSTART, RLENGTH); if (percent != last) { last = percent; gsub(/CMakeFiles\/[^ ]*\.dir\//, ""); print; fflush() } }
  /warning:/ { print; fflush() }'
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ]; then
  tail -60 "$log"
  exit "$status"
fi
echo "Built in $(( $(date +%s) - started )) s"
rm -f "$log"
