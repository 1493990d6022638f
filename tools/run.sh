#!/usr/bin/env bash
# Sets up, builds the game alone (not its tests) and starts it on the bundled sample
# scenario (data/ is its working folder).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh --target morvaleth
cd data
exec ../build/morvaleth
