#!/usr/bin/env bash
# Status pacing figures: 200 records of the example shop (its 24 records over and over, with
# their quantities) printed by pelmar-print to the virtual network printer with its mechanics,
# the printer's time scaled by SCALE (default 0.25). Paced by the printer's status, the run's
# wall time should be at most 5 % above the simulated printing time. The fixed wait (t + 3 s a
# record, StatusPacing=0) does not scale with the printer, so it is measured on the first
# FIXED_RECORDS records (default 10) and given for 200 too, beside the unscaled printing time.
# Usage: bench/status_pacing.sh [BUILD_DIR] (default: build).
set -euo pipefail
build=${1:-build}
bin=$(cd "$build/bin" && pwd)
for tool in pelmar-print tspl-render; do
  [[ -x "$bin/$tool" ]] || { echo "status_pacing.sh: $bin/$tool is not built" >&2; exit 1; }
done
here=$(cd "$(dirname "$0")/.." && pwd)
scale=${SCALE:-0.25}
fixed_records=${FIXED_RECORDS:-10}

work=$(mktemp -d)
printer_pid=
cleanup() {
  [[ -n "$printer_pid" ]] && kill "$printer_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

python3 - "$here/examples/shop" "$work" "$fixed_records" "$scale" "$bin" <<'PY'
import os, re, shutil, signal, subprocess, sys, time
shop, work, fixed_records, scale, bin_dir = sys.argv[1], sys.argv[2], int(sys.argv[3]), \
    float(sys.argv[4]), sys.argv[5]
lines = [l for l in open(os.path.join(shop, "ITEMS.TXT"), "rb").read().split(b"\r\n") if l]

def home(name, records, pacing):
    folder = os.path.join(work, name)
    shutil.copytree(shop, folder, ignore=shutil.ignore_patterns("out", "net"))
    data = [lines[i % len(lines)] for i in range(records)]
    open(os.path.join(folder, "ITEMS.TXT"), "wb").write(b"\r\n".join(data) + b"\r\n")
    ini = open(os.path.join(folder, "Pelmar.INI"), "rb").read()
    ini = ini.replace(b"PrintMode=0\r\n", b"PrintMode=0\r\nStatusPacing=%d\r\n" % pacing)
    open(os.path.join(folder, "Pelmar.INI"), "wb").write(ini)
    labels = sum(max(1, int(re.match(rb"\s*(\d*)", l.split(b",")[-1]).group(1) or 0)) for l in data)
    return folder, labels

def run(name, records, pacing):
    folder, labels = home(name, records, pacing)
    out = os.path.join(folder, "net")
    printer = subprocess.Popen([os.path.join(bin_dir, "tspl-render"), "--listen", "0", "-o", out,
                                "--mechanics", "--time-scale", str(scale)],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    address = printer.stdout.readline().split()[-1]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", CUPS_SERVER="127.0.0.1:1",
               PELMAR_HOME=folder)
    start = time.monotonic()
    p = subprocess.run([os.path.join(bin_dir, "pelmar-print"), "--home", folder, "--printer",
                        "socket://" + address], env=env, cwd=folder,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    wall = time.monotonic() - start
    printer.send_signal(signal.SIGTERM)
    printer.communicate(timeout=60)
    printed = len([f for f in os.listdir(out) if f.startswith("label-")])
    if p.returncode != 0 or printed != labels:
        sys.exit(f"status_pacing.sh: {name}: exit {p.returncode}, {printed} of {labels} labels\n"
                 + p.stderr[-2000:])
    # Each label: (40 mm + 2 mm gap) at 8 dots a mm on a 203-dpi head, at 4 inches a second.
    per_label = (40 * 8 + 2 * 8) / 203 / 4
    return wall, labels, labels * per_label

wall, labels, unscaled = run("paced", 200, 1)
printing = unscaled * scale
print(f"200 records, {labels} labels, printer time scaled by {scale}:")
print(f"  status pacing: {wall:.2f} s wall, simulated printing {printing:.2f} s, "
      f"ratio {wall / printing:.3f} ({(wall / printing - 1) * 100:+.1f} %; target at most +5 %)")
fwall, flabels, funscaled = run("fixed", fixed_records, 0)
estimate = fwall * 200 / fixed_records
print(f"  fixed wait: {fwall:.2f} s wall for the first {fixed_records} records ({flabels} labels), "
      f"about {estimate:.0f} s for 200: {estimate / printing:.0f} x the scaled printing time, "
      f"{estimate / unscaled:.1f} x the unscaled printing time of {unscaled:.1f} s")
PY
