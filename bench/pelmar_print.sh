#!/usr/bin/env bash
# pelmar-print figures: 10,000 records to a trace: port and to a file port (no pacing), with
# wall time and peak memory; and for 1,000 records the time from start to the first byte at the
# port (a FIFO read by this script). Usage: bench/pelmar_print.sh [BUILD_DIR] (default: build).
set -euo pipefail
build=${1:-build}
tool="$(cd "$build/bin" && pwd)/pelmar-print"
[[ -x "$tool" ]] || { echo "pelmar_print.sh: $tool is not built" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_home() { # folder records
  local home=$1 records=$2
  mkdir -p "$home"
  python3 - "$home/items.txt" "$records" <<'PY'
import sys
with open(sys.argv[1], "wb") as f:
    for i in range(1, int(sys.argv[2]) + 1):
        f.write(b"4710088%06d,ITEM %05d NAME,%d.50,%d\r\n" % (i, i, 10 + i % 90, 1 + i % 3))
PY
  printf 'LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\nPrintDarken=8\r\n'\
'Box=10,10,470,310,3\r\nV_Text=20,20,32,0,0,0,Arial,2\r\nV_Text=20,80,48,0,0,0,Arial,3+\r\n'\
'V_Barcode=20,150,128,80,2,0,2,4,1\r\nF_Text=20,280,24,0,0,0,Arial,Date=yyyy/mm/dd\r\n' \
    > "$home/PRICE.FMT"
  printf '[Files]\r\nTextFileName=%s\r\nLabelCount=1\r\nLabelName01=PRICE.FMT\r\n[Printer]\r\n'\
'PrintMode=0\r\nPrinterName=TSC Trace\r\n[Ports]\r\nTSC Trace=trace:%s\r\n[Fields]\r\n'\
'Delimiter=,\r\nEditPrice=1\r\nEditPriceField=3\r\nADPrice=0\r\nFieldCount=4\r\n'\
'Field01=CODE,1,13,1,0\r\nField02=NAME,1,20,1,0\r\nField03=PRICE,1,8,1,0\r\nField04=QTY,1,3,1,0\r\n' \
    "$home/items.txt" "$home/trace.txt" > "$home/Pelmar.INI"
}

make_home "$work/big" 10000
make_home "$work/small" 1000
mkfifo "$work/port.fifo"

python3 - "$tool" "$work" <<'PY'
import os, resource, subprocess, sys, threading, time
tool, work = sys.argv[1], sys.argv[2]
env = dict(os.environ, QT_QPA_PLATFORM="offscreen", CUPS_SERVER="127.0.0.1:1")

def run(home, args):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    p = subprocess.run([tool, "--home", home, "--price", "0"] + args, env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime + after.ru_stime) - (before.ru_utime + before.ru_stime)
    if p.returncode != 0:
        sys.exit("pelmar-print failed: " + p.stderr.decode()[-2000:])
    return elapsed, after.ru_maxrss, cpu

for label, args, out in [("trace: port", [], "trace.txt"),
                         ("file: port", ["--printer", "file:" + work + "/big/out.bin"], "out.bin")]:
    elapsed, peak, cpu = run(work + "/big", args)
    size = os.path.getsize(os.path.join(work, "big", out))
    # ru_maxrss of the children is the largest of all children so far, in KiB; the CPU time
    # tells the cost on a busy machine, where the wall time also counts the waits for a core.
    print(f"10,000 records, {label}: {elapsed:.2f} s wall, {cpu:.2f} s CPU, peak memory at most "
          f"{peak / 1024:.1f} MiB, {size / 1e6:.1f} MB written")

fifo = work + "/port.fifo"
times = []
for attempt in range(5):
    first = {}
    def reader():
        with open(fifo, "rb") as f:
            chunk = f.read(1)
            first["t"] = time.monotonic()
            while f.read(65536):
                pass
    t = threading.Thread(target=reader)
    t.start()
    start = time.monotonic()
    p = subprocess.run([tool, "--home", work + "/small", "--price", "0", "--printer", "file:" + fifo],
                       env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    t.join()
    if p.returncode != 0:
        sys.exit("pelmar-print failed on the FIFO")
    times.append(first["t"] - start)
print("1,000 records, start to first byte at the port: best %.0f ms, median %.0f ms" %
      (min(times) * 1000, sorted(times)[len(times) // 2] * 1000))
PY
