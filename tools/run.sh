#!/usr/bin/env bash
# Sets up, builds and starts the game on the bundled sample scenario (data/ is its working folder).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
cd data
exec ../build/morvaleth
