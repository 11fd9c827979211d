#!/usr/bin/env bash
# Prints, per fuzz target, the executions and the coverage of its last run (build-fuzz/logs).
#   fuzz/figures.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
printf '%-11s %8s %12s %10s %8s %8s %s\n' target seconds executions exec/s cov ft result
for log in "$root"/build-fuzz/logs/*.log; do
  [[ -f "$log" ]] || continue
  t="$(basename "$log" .log)"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
  # The last status line of libFuzzer: "#N DONE cov: C ft: F corp: ..."
  last="$(grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -1 || true)"
  cov="$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")"
  ft="$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")"
  secs="$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)"
  result=clean
  grep -qE '^==[0-9]+==ERROR|runtime error|^SUMMARY|deadly signal|Test unit written' "$log" && result=FINDING
  printf '%-11s %8s %12s %10s %8s %8s %s\n' "$t" "${secs:--}" "${runs:--}" "${speed:--}" \
    "${cov:--}" "${ft:--}" "$result"
done
