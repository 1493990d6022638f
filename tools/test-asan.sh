#!/usr/bin/env bash
# Builds the engine and its unit tests with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ and runs the unit tests there, then two thousand rounds of the
# loaders' fuzz program for each kind of input (damaged scenario files, saves, save slots, configuration files
# and sound files, and scripts that try to escape the bounds of a run).
# Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build-asan CMAKE_EXTRA_ARGS="-DMORVALETH_ASAN=ON" bash tools/build.sh --target unit_tests fuzz_loaders
# fontconfig keeps a little memory for the life of the process; nothing of ours is excused.
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd build-asan
ctest -j "$(nproc)" -L "unit|fuzz" --no-tests=error --output-on-failure --timeout 600 "$@"
