#!/usr/bin/env bash
# Driver mode against gLabels on the same records and a comparable 60 x 40 mm label (outline
# box, name, price, Code 128 of the item number), both writing one PDF with one page per label.
#
#   bench/driver_vs_glabels.sh [N] [BIG]    N records for the comparison (default 1000), BIG
#                                            records for the scaling run (default 10000)
#   BUILD=dir   the build folder holding bin/pelmar-print (default build)
#
# The timed command is pelmar-print --output on a program folder of its own (settings in
# "Driver" mode, the format, the data file), start-up included, as a shop would run it.
# gLabels has no copy count and prints each record once, so our data file asks for one copy per
# record (QTY 1) and both PDFs have N pages. (With EXPAND_QTY=1 gLabels gets sum(QTY) labels,
# but its memory grows with the square of the labels: 155 s and 5.5 GB for 3,102 labels.)
# Prints both wall times, the ratio (target: ours at least 15x faster), then our time and peak
# memory for BIG records with their real quantities (target: linear time, under 100 MB).
set -euo pipefail

N=${1:-1000}
BIG=${2:-10000}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
PEERS=${PEERS:-$ROOT/../shared/peers/glabels}
RUNNER=$BUILD/bin/pelmar-print

if ! command -v glabels-3-batch >/dev/null || ! command -v pdfinfo >/dev/null; then
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y glabels poppler-utils time >/dev/null
fi
[[ -x $RUNNER ]] || cmake --build "$BUILD" --target pelmar-print

WORK=$(mktemp -d "${TMPDIR:-/tmp}/driver-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# Our data file: the peer's records without the key line, lines ended by CR LF; ONCE=1 sets
# every quantity to 1.
make_data() {
    python3 "$PEERS/make_data.py" "$1" -o "$WORK/data$1.csv"
    if [[ ${ONCE:-0} == 1 ]]; then
        tail -n +2 "$WORK/data$1.csv" | sed 's/,[0-9]*$/,1/; s/$/\r/' >"$WORK/data$1.txt"
    else
        tail -n +2 "$WORK/data$1.csv" | sed 's/$/\r/' >"$WORK/data$1.txt"
    fi
}

# The program folder of our runs: "Driver" mode, one format, the data file of the run. The
# [Ports] printer only lets start-up find a TSC printer; the pages go to --output.
make_home() {
    local home=$WORK/home
    mkdir -p "$home"
    cp "$ROOT/bench/driver_bench.FMT" "$home/"
    printf '%s\r\n' '[Files]' 'CodePage=UTF-8' 'TextFileName=data.txt' 'LabelCount=1' \
        'LabelName01=driver_bench.FMT' '[Printer]' 'PrintMode=1' 'PrinterName=TSC Bench' \
        '[Ports]' 'TSC Bench=preview:out' '[Label]' 'Across=1' '[Fields]' 'FieldCutIndex=0' \
        'Delimiter=,' 'EditPrice=0' 'FieldCount=4' 'Field01=ITEM,0,5,1,0' \
        'Field02=NAME,0,20,1,0' 'Field03=PRICE,0,8,1,0' 'Field04=QTY,0,3,1,0' >"$home/Pelmar.INI"
}

# Runs pelmar-print in driver mode on N records; sets WALL (seconds), RSS (MiB) and PAGES.
run_ours() {
    local n=$1
    rm -f "$WORK/out$n.pdf"
    cp "$WORK/data$n.txt" "$WORK/home/data.txt"
    local t0=$EPOCHREALTIME
    /usr/bin/time -v -o "$WORK/time$n.txt" "$RUNNER" --home "$WORK/home" \
        --output "$WORK/out$n.pdf" >"$WORK/run$n.log" 2>&1 || { cat "$WORK/run$n.log" >&2; exit 1; }
    local t1=$EPOCHREALTIME
    WALL=$(python3 -c "print(f'{$t1 - $t0:.3f}')")
    RSS=$(awk -F': ' '/Maximum resident set size/ {printf "%.1f", $2 / 1024}' "$WORK/time$n.txt")
    PAGES=$(pdfinfo "$WORK/out$n.pdf" | awk '/^Pages:/ {print $2}')
}

make_home
ONCE=1 make_data "$N"
run_ours "$N"
OURS=$WALL OURS_RSS=$RSS OURS_PAGES=$PAGES

GL_OUT=$(WORK="$WORK/glabels" "$PEERS/run.sh" "$N" 1 2>&1) || {
    echo "$GL_OUT" >&2
    echo "gLabels run failed" >&2
    exit 1
}
GLABELS=$(awk '/^wall_s min/ {print $3}' <<<"$GL_OUT")
GL_RSS=$(awk '/^peak_rss/ {print $2}' <<<"$GL_OUT")
GL_PAGES=$(awk '/^pdf_pages/ {print $2}' <<<"$GL_OUT")

echo "records             $N"
echo "glabels-3-batch     ${GLABELS} s, ${GL_PAGES} pages, peak ${GL_RSS} MiB"
echo "pelmar driver mode  ${OURS} s, ${OURS_PAGES} pages, peak ${OURS_RSS} MiB"
python3 -c "print(f'ratio               {$GLABELS / $OURS:.1f}x faster (target 15x)')"

# Scaling with the real quantities: N and BIG records, time per page compared.
make_data "$N"
run_ours "$N"
SMALL=$WALL SMALL_PAGES=$PAGES
make_data "$BIG"
run_ours "$BIG"
echo "records             $N with quantities: ${SMALL} s, ${SMALL_PAGES} pages"
echo "records             $BIG with quantities: ${WALL} s, ${PAGES} pages, peak ${RSS} MiB (target under 100 MiB)"
python3 -c "print(f'scaling             {($WALL / $PAGES) / ($SMALL / $SMALL_PAGES):.2f} x the time per page of $N records (1.00 = linear)')"
