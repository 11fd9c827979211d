#!/usr/bin/env bash
# Time from starting pelmar to the first byte at the printer, in automatic single-format printing
# of a 1,000-record data file ("Send Command" mode). The printer is a named pipe behind a file:
# port; the reader notes the moment the first byte arrives. Prints the median and the range of
# several runs, in milliseconds.
#
# Usage: bench/gui_first_byte.sh [BUILD_DIR] [RUNS]
set -euo pipefail

build=${1:-$(dirname "$0")/../build}
runs=${2:-15}
pelmar=$(realpath "$build")/bin/pelmar
[[ -x "$pelmar" ]] || { echo "no pelmar at $pelmar (build the target pelmar first)" >&2; exit 1; }

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

python3 - "$folder" "$pelmar" "$runs" <<'PY'
import os, statistics, subprocess, sys, time

folder, pelmar, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
enc = "cp950"
names = ["蘋果汁", "烏龍茶", "鮮奶", "豆漿", "麵包", "米粉", "醬油", "白米"]
with open(os.path.join(folder, "ITEMS.TXT"), "wb") as f:
    for i in range(1, 1001):
        f.write(f"{4710000000000 + i},{names[i % 8]}{i},{i * 7 % 300 + 10},1\r\n".encode(enc))
fmt = ["LabelWidth=60", "LabelHeight=40", "LabelGap=2", "PrintSpeed=4", "PrintDarken=8",
       "Direction=0", "SetStripe=OFF", "SetCutter=OFF", "Box=10,10,470,310,3",
       "V_Text=20,20,48,0,0,0,新細明體,2", "V_Text=20,100,32,0,0,0,Arial,\"NT$\"+3",
       "V_Barcode=20,160,128M,80,2,0,2,4,1"]
with open(os.path.join(folder, "PRICE.FMT"), "wb") as f:
    f.write("\r\n".join(fmt).encode(enc) + b"\r\n")
pipe = os.path.join(folder, "printer.pipe")
ini = ["[Files]", f"TextFileName={folder}/ITEMS.TXT", "LabelCount=1", "LabelName01=PRICE.FMT",
       "[Printer]", "PrintMode=0", "PrinterName=TSC BENCH", "[Label]", "Across=1", "[Fields]",
       "FieldCutIndex=0", "Delimiter=,", "EditPrice=0", "EditPriceField=3", "ADPrice=0",
       "FieldCount=4", "Field01=條碼,1,13,1,0", "Field02=品名,1,20,1,0", "Field03=售價,1,8,1,1",
       "Field04=數量,1,4,1,0", "[Ports]", f"TSC BENCH=file:{pipe}"]
with open(os.path.join(folder, "Pelmar.INI"), "wb") as f:
    f.write("\r\n".join(ini).encode(enc) + b"\r\n")

env = dict(os.environ, PELMAR_HOME=folder, QT_QPA_PLATFORM="offscreen",
           CUPS_SERVER=os.path.join(folder, "no-cups"))
first_byte, whole_run = [], []
for run in range(runs):
    if os.path.exists(pipe):
        os.unlink(pipe)
    os.mkfifo(pipe)
    start = time.perf_counter()
    process = subprocess.Popen([pelmar], env=env, stderr=subprocess.DEVNULL)
    with open(pipe, "rb", buffering=0) as reader:
        reader.read(1)
        first_byte.append((time.perf_counter() - start) * 1000)
        while reader.read(65536):
            pass
    process.wait()
    whole_run.append((time.perf_counter() - start) * 1000)
    if process.returncode != 0:
        sys.exit(f"pelmar ended with {process.returncode}")

def line(name, values):
    print(f"{name:<34} median {statistics.median(values):7.1f} ms   "
          f"min {min(values):7.1f}   max {max(values):7.1f}   ({len(values)} runs)")

line("start to first byte at printer", first_byte)
line("start to end of the 1,000 labels", whole_run)
PY
