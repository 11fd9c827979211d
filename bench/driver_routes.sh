#!/usr/bin/env bash
# Driver mode's routes side by side through one private cupsd and Pelmar's TSPL driver on
# socket:// to the virtual network printer (tspl-render --listen), 60 x 40 mm labels:
#   raster    pelmar-print, the job as CUPS raster (rastertotspl alone)
#   pdf       pelmar-print, the job as PDF: the same driver behind a PPD that takes PDF
#             (gstoraster | rastertotspl), as on a queue whose driver does not read raster
#   glabels   glabels-3-batch writes the PDF, lp prints it on the raster queue
# Each from its start to the last label at the virtual printer, and the first label's latency;
# N labels as one record and as N records. Then a 200-record run against the printing time of
# the printer's mechanics (--mechanics at the format's speed), and bench/driver_vs_glabels.sh.
#
#   bench/driver_routes.sh [N] [PDF_RECORDS]   N labels (default 1000); the PDF route as
#                                               separate records pauses 2 s after each, so it
#                                               runs PDF_RECORDS records (default 10) and scales
#   BUILD=dir   the build folder (default build)
set -euo pipefail

N=${1:-1000}
PDF_RECORDS=${2:-10}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
PEERS=${PEERS:-$ROOT/../shared/peers/glabels}
export QT_QPA_PLATFORM=offscreen

if ! command -v glabels-3-batch >/dev/null; then
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y glabels poppler-utils time >/dev/null
fi
cmake --build "$BUILD" --target pelmar-print tspl-render rastertotspl pelmar_tspl_ppds >/dev/null

WORK=$(mktemp -d "${TMPDIR:-/tmp}/driver-routes.XXXXXX")
chmod 755 "$WORK"
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# The private cupsd: its own configuration and spool, CUPS's programs, the build's rastertotspl
# and the PDF route's wrapper in its filter folder.
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir -p "$WORK"/{spool,cache,state,log,tmp,bin/filter,bin/backend}
chmod 1777 "$WORK/tmp"
for dir in /usr/lib/cups/*/; do
    name=$(basename "$dir")
    [[ $name == filter || $name == backend ]] || ln -s "$dir" "$WORK/bin/$name"
done
for kind in filter backend; do
    for program in /usr/lib/cups/$kind/*; do ln -s "$program" "$WORK/bin/$kind/"; done
done
ln -s "$BUILD/bin/rastertotspl" "$WORK/bin/filter/rastertotspl"
printf '#!/bin/sh\n/usr/lib/cups/filter/gstoraster "$@" |\n%s "$1" "$2" "$3" "$4" "$5"\n' \
    "$WORK/bin/filter/rastertotspl" >"$WORK/bin/filter/pdftotspl"
chmod 755 "$WORK/bin/filter/pdftotspl"
printf 'Listen 127.0.0.1:%s\nLogLevel warn\nDefaultAuthType None\nWebInterface No\nBrowsing No\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n' \
    "$PORT" >"$WORK/cupsd.conf"
printf 'ServerRoot %s\nRequestRoot %s/spool\nCacheDir %s/cache\nStateDir %s/state\nTempDir %s/tmp\nErrorLog %s/log/error_log\nAccessLog %s/log/access_log\nPageLog %s/log/page_log\nFileDevice Yes\nServerBin %s/bin\nDataDir /usr/share/cups\n' \
    "$WORK" "$WORK" "$WORK" "$WORK" "$WORK" "$WORK" "$WORK" "$WORK" "$WORK" >"$WORK/cups-files.conf"
/usr/sbin/cupsd -f -c "$WORK/cupsd.conf" -s "$WORK/cups-files.conf" &
PIDS+=($!)
export CUPS_SERVER=127.0.0.1:$PORT
for _ in $(seq 100); do lpstat -r >/dev/null 2>&1 && break; sleep 0.1; done

# A virtual printer writing into $1, with more options; sets PRINTER_URI.
start_printer() {
    local folder=$1
    shift
    mkdir -p "$folder"
    "$BUILD/bin/tspl-render" --listen 0 -o "$folder" "$@" >"$folder.address" 2>"$folder.log" &
    PIDS+=($!)
    for _ in $(seq 100); do grep -q listening "$folder.address" && break; sleep 0.1; done
    PRINTER_URI=socket://$(sed -n 's/^listening on //p' "$folder.address")
}

LPADMIN=$(command -v lpadmin || echo /usr/sbin/lpadmin)
PPD=$BUILD/ppd/pelmar-tspl-203.ppd
sed 's|"application/vnd.cups-raster 100 rastertotspl"|"application/vnd.cups-pdf 100 pdftotspl"|' \
    "$PPD" >"$WORK/pdf-only.ppd"
start_printer "$WORK/labels"
LABELS=$WORK/labels
"$LPADMIN" -h "$CUPS_SERVER" -p TSC_RASTER -v "$PRINTER_URI" -P "$PPD" -E
"$LPADMIN" -h "$CUPS_SERVER" -p TSC_PDF -v "$PRINTER_URI" -P "$WORK/pdf-only.ppd" -E

# The program folder: driver mode, the 60 x 40 mm format of driver_vs_glabels.sh.
HOME_DIR=$WORK/home
mkdir -p "$HOME_DIR"
cp "$ROOT/bench/driver_bench.FMT" "$HOME_DIR/"
printf '%s\r\n' '[Files]' 'CodePage=UTF-8' 'TextFileName=data.txt' 'LabelCount=1' \
    'LabelName01=driver_bench.FMT' '[Printer]' 'PrintMode=1' 'PrinterName=' '[Label]' 'Across=1' \
    '[Fields]' 'FieldCutIndex=0' 'Delimiter=,' 'EditPrice=0' 'FieldCount=4' \
    'Field01=ITEM,0,5,1,0' 'Field02=NAME,0,20,1,0' 'Field03=PRICE,0,8,1,0' \
    'Field04=QTY,0,3,1,0' >"$HOME_DIR/Pelmar.INI"
python3 "$PEERS/make_data.py" "$((N > 200 ? N : 200))" -o "$WORK/records.csv"
# $1 records with quantity $2 each, CR LF lines.
make_data() {
    awk -v n="$1" -v q="$2" 'NR > 1 && NR <= n + 1 { sub(/,[0-9]*$/, "," q); printf "%s\r\n", $0 }' \
        "$WORK/records.csv" >"$HOME_DIR/data.txt"
}

# Runs the command $2... until $1 new labels reached the printer in $LABELS; sets TOTAL and FIRST
# (seconds from the start).
timed() {
    local expected=$1
    shift
    local before
    before=$(find "$LABELS" -name 'label-*.png' | wc -l)
    local t0=$EPOCHREALTIME
    "$@" >"$WORK/run.log" 2>&1 &
    local runner=$!
    read -r FIRST TOTAL < <(python3 - "$LABELS" "$before" "$expected" "$t0" <<'EOF'
import os, sys, time
folder, before, expected, t0 = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
name = lambda n: os.path.join(folder, "label-%05d.png" % n)
first = None
deadline = time.time() + 3600
while not os.path.exists(name(before + expected)) and time.time() < deadline:
    if first is None and os.path.exists(name(before + 1)):
        first = time.time() - t0
    time.sleep(0.002)
total = time.time() - t0
print(f"{first if first is not None else total:.3f} {total:.3f}")
EOF
)
    wait "$runner" || { cat "$WORK/run.log" >&2; echo "driver_routes.sh: $1 failed" >&2; exit 1; }
}

printf 'labels at the virtual printer, 60 x 40 mm, 203 dpi; machine shared with other builds\n'
printf '%-34s %10s %10s %12s\n' route total_s ms/label first_s
report() {
    python3 -c "print(f'%-34s %10.2f %10.2f %12.3f' % ('$1', $TOTAL, $TOTAL * 1000 / $2, $FIRST))"
}

make_data 1 "$N"
timed "$N" "$BUILD/bin/pelmar-print" --home "$HOME_DIR" --printer TSC_RASTER
RASTER_ONE=$TOTAL && report "raster, 1 record x $N" "$N"
timed "$N" "$BUILD/bin/pelmar-print" --home "$HOME_DIR" --printer TSC_PDF
PDF_ONE=$TOTAL && report "pdf, 1 record x $N" "$N"

make_data "$N" 1
timed "$N" "$BUILD/bin/pelmar-print" --home "$HOME_DIR" --printer TSC_RASTER
RASTER_MANY=$TOTAL && report "raster, $N records" "$N"
make_data "$PDF_RECORDS" 1
timed "$PDF_RECORDS" "$BUILD/bin/pelmar-print" --home "$HOME_DIR" --printer TSC_PDF
PDF_MANY=$(python3 -c "print($TOTAL * $N / $PDF_RECORDS)")
report "pdf, $PDF_RECORDS records (2 s pause each)" "$PDF_RECORDS"

# gLabels: one PDF of N pages (one per record), printed with lp on the raster queue.
glabels_lp() {
    head -n "$((N + 1))" "$WORK/records.csv" >"$WORK/glabels.csv"
    env -u DISPLAY -u WAYLAND_DISPLAY glabels-3-batch -i "$WORK/glabels.csv" \
        -o "$WORK/glabels.pdf" "$PEERS/label.glabels" &&
        lp -d TSC_RASTER -o media=Custom.60x40mm "$WORK/glabels.pdf"
}
timed "$N" glabels_lp
GLABELS=$TOTAL && report "glabels-3-batch + lp, $N records" "$N"

# Where the raster route's time goes: the same job to a file device (no back channel, so the
# driver does not wait for each label), and the virtual printer drawing that file alone.
"$LPADMIN" -h "$CUPS_SERVER" -p TSC_FILE -v "file://$WORK/tmp/job.prn" -P "$PPD" -E
make_data 1 "$N"
t0=$EPOCHREALTIME
"$BUILD/bin/pelmar-print" --home "$HOME_DIR" --printer TSC_FILE >"$WORK/run.log" 2>&1
t1=$EPOCHREALTIME
"$BUILD/bin/tspl-render" "$WORK/tmp/job.prn" -o "$WORK/render" >/dev/null 2>&1
t2=$EPOCHREALTIME
python3 - <<EOF
print(f"%-34s %10.2f %10.2f" % ("raster, 1 record x $N, file device", $t1 - $t0, ($t1 - $t0) * 1000 / $N))
print(f"%-34s %10.2f %10.2f" % ("tspl-render of that file alone", $t2 - $t1, ($t2 - $t1) * 1000 / $N))
EOF

python3 - <<EOF
print(f"ratio pdf/raster, 1 record          {$PDF_ONE / $RASTER_ONE:.1f}x (target at least 3x)")
print(f"ratio pdf/raster, $N records       {$PDF_MANY / $RASTER_MANY:.1f}x (pdf scaled from $PDF_RECORDS records)")
print(f"ratio glabels+lp/raster, $N records {$GLABELS / $RASTER_MANY:.1f}x")
EOF

# Pacing: 200 records at the format's speed on a printer with mechanics, against the time the
# mechanics take to print them (driver_bench.FMT: 40 mm, the PPD's 3 mm gap, 4 inches a second).
start_printer "$WORK/mechanics" --mechanics
LABELS=$WORK/mechanics
"$LPADMIN" -h "$CUPS_SERVER" -p TSC_MECHANICS -v "$PRINTER_URI" -P "$PPD" -E
make_data 200 1
timed 200 "$BUILD/bin/pelmar-print" --home "$HOME_DIR" --printer TSC_MECHANICS
python3 - <<EOF
printing = 200 * (40 + 3) / 25.4 / 4
print(f"200 records with --mechanics       {$TOTAL:.2f} s, printing time {printing:.2f} s, "
      f"{($TOTAL / printing - 1) * 100:+.1f} % (target within 5 %)")
EOF

printf '\nthe PDF file against glabels-3-batch (bench/driver_vs_glabels.sh %s):\n' "$N"
BUILD=$BUILD "$ROOT/bench/driver_vs_glabels.sh" "$N" "$((N * 2))"
