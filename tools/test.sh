#!/usr/bin/env bash
# Sets up, builds and runs every test. Window tests run on a private Xvfb
# screen of 1920x1080 with Mesa's software GL and a silent audio driver.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh

export SDL_AUDIODRIVER=dummy
export LIBGL_ALWAYS_SOFTWARE=1
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$display_file")"
rm -f "$display_file"

cd build
ctest -j "$(nproc)" --output-on-failure --timeout 300 "$@"
