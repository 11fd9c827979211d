#!/usr/bin/env bash
# The journal's share of a run: RECORDS records (default 1000) of the example shop (its 24
# records over and over, quantity 1 each) printed by pelmar-print to the virtual network printer
# with its mechanics at time scale SCALE (default 0.1: a faster printer makes the share larger),
# paced by the printer's status, so each record is journaled sending, sent and printed. The
# journal's cost per record is measured by bench_journal_record on the same disk; the share is
# records x mean cost / wall time of the run.
# Usage: bench/journal_share.sh [BUILD_DIR] (default: build; needs PELMAR_BUILD_BENCH=ON).
set -euo pipefail
build=${1:-build}
bin=$(cd "$build/bin" && pwd)
for tool in pelmar-print tspl-render bench_journal_record; do
  [[ -x "$bin/$tool" ]] || { echo "journal_share.sh: $bin/$tool is not built" >&2; exit 1; }
done
here=$(cd "$(dirname "$0")/.." && pwd)
records=${RECORDS:-1000}
scale=${SCALE:-0.1}
work=$(mktemp -d)
printer_pid=
cleanup() {
  [[ -n "$printer_pid" ]] && kill "$printer_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

cp -r "$here/examples/shop" "$work/home"
rm -rf "$work/home/out" "$work/home/net"
python3 - "$work/home/ITEMS.TXT" "$records" <<'PY'
import sys
path, records = sys.argv[1], int(sys.argv[2])
lines = [l for l in open(path, "rb").read().split(b"\r\n") if l]
data = [b",".join(lines[i % len(lines)].split(b",")[:-1] + [b"1"]) for i in range(records)]
open(path, "wb").write(b"\r\n".join(data) + b"\r\n")
PY
cost=$("$bin/bench_journal_record" "$work/home" "$records")
echo "$cost"
mean=$(sed -E 's/.*mean ([0-9.]+) ms.*/\1/' <<<"$cost")

coproc printer {
  exec "$bin/tspl-render" --listen 0 -o "$work/net" --mechanics --time-scale "$scale" 2>"$work/printer.err"
}
printer_pid=$printer_PID
read -r line <&"${printer[0]}"
address=${line##* }
start=$(date +%s.%N)
QT_QPA_PLATFORM=offscreen CUPS_SERVER=127.0.0.1:1 "$bin/pelmar-print" --home "$work/home" \
  --printer "socket://$address" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
end=$(date +%s.%N)
python3 - "$start" "$end" "$records" "$mean" "$scale" <<'PY'
import sys
start, end, records, mean, scale = map(float, sys.argv[1:])
wall = end - start
print("run of %d records at time scale %g: %.1f s; journal %.1f s, %.2f %% of the run"
      % (records, scale, wall, records * mean / 1000, 100 * records * mean / 1000 / wall))
PY
