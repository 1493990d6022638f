#!/usr/bin/env bash
# Sets up, builds and runs every test. Window tests run on a private Xvfb
# screen of 1920x1080 with Mesa's software GL and a silent audio driver.
# Extra arguments go to ctest; arguments that select no test fail the run.
# With MORVALETH_TEST_CPU set to a core's number, ctest and every test (with the programs
# the tests start) run one at a time pinned to that core (tools/stress.sh --starved).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh

export SDL_AUDIODRIVER=dummy
export LIBGL_ALWAYS_SOFTWARE=1
xvfb_pid=""
display_file=$(mktemp)
cleanup() { rm -f "$display_file"; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
# Xvfb writes its display's number once it accepts clients, however long a busy machine makes that take.
until [ -s "$display_file" ]; do
  kill -0 "$xvfb_pid" 2> /dev/null || { echo "Xvfb ended without opening a display" >&2; exit 1; }
  sleep 0.1
done
export DISPLAY=":$(head -n1 "$display_file")"

runner=()
jobs=$(nproc)
if [ -n "${MORVALETH_TEST_CPU:-}" ]; then
  runner=(taskset -c "$MORVALETH_TEST_CPU")
  jobs=1
fi
cd build
"${runner[@]}" ctest -j "$jobs" --output-on-failure --no-tests=error --timeout 300 "$@"
