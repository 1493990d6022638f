#!/usr/bin/env bash
# Runs the whole test suite (tools/test.sh: ctest -j$(nproc), the window and end-to-end
# tests among the rest) a number of rounds on a machine that this script keeps busy
# itself, with processes at normal priority that spin for as long as the rounds last,
# and reports each round's result, time and load average. It shows whether the tests
# hold when a machine is loaded as a busy CI host is; CI does not run it.
#
#   bash tools/stress.sh [ROUNDS [BUSY]] [ctest arguments...]
#
# ROUNDS defaults to 3, BUSY (the spinning processes) to 16. Each round's output is
# kept in build/stress/round-N.log. The exit status is 0 when every round passed.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-3}"
busy="${2:-16}"
shift $(( $# < 2 ? $# : 2 ))

bash tools/build.sh
mkdir -p build/stress

# The spinners and the load sampler: this script's own children, ended by their ids.
spinners=()
stop_spinners() {
  for pid in "${spinners[@]}"; do kill "$pid" 2> /dev/null || true; done
  for pid in "${spinners[@]}"; do wait "$pid" 2> /dev/null || true; done
}
trap stop_spinners EXIT
for _ in $(seq "$busy"); do
  (while :; do :; done) &
  spinners+=($!)
done
echo "$busy busy processes started; load average $(cut -d' ' -f1-3 /proc/loadavg)"

# The one-minute load average every ten seconds, for the highest of each round.
(while :; do cut -d' ' -f1 /proc/loadavg >> build/stress/load.txt; sleep 10; done) &
spinners+=($!)

passed=0
for round in $(seq "$rounds"); do
  log="build/stress/round-$round.log"
  : > build/stress/load.txt
  started=$(date +%s)
  if bash tools/test.sh "$@" > "$log" 2>&1; then
    result="passed"
    passed=$(( passed + 1 ))
  else
    result="FAILED"
  fi
  cut -d' ' -f1 /proc/loadavg >> build/stress/load.txt
  summary=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n1 || true)
  echo "round $round: $result in $(( $(date +%s) - started )) s (${summary:-no ctest summary, see $log});" \
    "load average at its end $(cut -d' ' -f1-3 /proc/loadavg), highest $(sort -g build/stress/load.txt | tail -n1)"
  grep -E '^[[:space:]]+[0-9]+ - .* \((Failed|Timeout|Not Run|SEGFAULT|Exception|Subprocess aborted)\)' "$log" || true
done
echo "rounds: $passed passed, $(( rounds - passed )) failed"
[ "$passed" -eq "$rounds" ]
