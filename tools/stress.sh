#!/usr/bin/env bash
# Runs the test suite on a machine that this script keeps busy itself, with processes at
# normal priority that spin for as long as the rounds last, and reports each round's result,
# time and load average. It shows whether the tests hold when a machine is loaded as a busy
# CI host is; CI does not run it.
#
#   bash tools/stress.sh [ROUNDS [BUSY]] [ctest arguments...]
#   bash tools/stress.sh --starved [LOOPS [LABELS]] [ctest arguments...]
#
# The first form runs the whole suite (tools/test.sh: ctest -j$(nproc), the window and
# end-to-end tests among the rest) ROUNDS times (3) while BUSY processes (16) spin on any core.
# The second, the starved mode, gives each test program a share of one core: for each label of
# LABELS (unit,window,e2e), one round runs its tests one at a time pinned to the machine's last
# core, which LOOPS spinning processes (3) share with them. Each round's output is kept in
# build/stress/round-N.log (or round-LABEL.log). The exit status is 0 when every round passed.
set -euo pipefail
cd "$(dirname "$0")/.."
starved=""
if [ "${1:-}" = "--starved" ]; then
  starved=1
  shift
  busy=3
  labels="unit,window,e2e"
  if [[ "${1:-}" =~ ^[0-9]+$ ]]; then busy=$1; shift; fi
  if [[ "${1:-}" =~ ^(unit|window|e2e)(,(unit|window|e2e))*$ ]]; then labels=$1; shift; fi
  rounds=$(tr ',' ' ' <<< "$labels")
else
  rounds=$(seq "${1:-3}")
  busy="${2:-16}"
  shift $(( $# < 2 ? $# : 2 ))
fi
core=$(( $(nproc) - 1 ))

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
  [ -z "$starved" ] || taskset -p -c "$core" "$!" > /dev/null
done
echo "$busy busy processes started${starved:+ on core $core}; load average $(cut -d' ' -f1-3 /proc/loadavg)"

# The one-minute load average every ten seconds, for the highest of each round.
(while :; do cut -d' ' -f1 /proc/loadavg >> build/stress/load.txt; sleep 10; done) &
spinners+=($!)

passed=0
count=0
for round in $rounds; do
  log="build/stress/round-$round.log"
  : > build/stress/load.txt
  started=$(date +%s)
  command=(bash tools/test.sh)
  [ -z "$starved" ] || command=(env MORVALETH_TEST_CPU="$core" bash tools/test.sh -L "$round")
  "${command[@]}" "$@" > "$log" 2>&1 && result="passed" || result="FAILED"
  [ "$result" = "FAILED" ] || passed=$(( passed + 1 ))
  count=$(( count + 1 ))
  cut -d' ' -f1 /proc/loadavg >> build/stress/load.txt
  summary=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n1 || true)
  echo "round $round: $result in $(( $(date +%s) - started )) s (${summary:-no ctest summary, see $log});" \
    "load average at its end $(cut -d' ' -f1-3 /proc/loadavg), highest $(sort -g build/stress/load.txt | tail -n1)"
  grep -E '^[[:space:]]+[0-9]+ - .* \((Failed|Timeout|Not Run|SEGFAULT|Exception|Subprocess aborted)\)' "$log" || true
done
echo "rounds: $passed passed, $(( count - passed )) failed"
[ "$passed" -eq "$count" ]
