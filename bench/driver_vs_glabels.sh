#!/usr/bin/env bash
# Driver mode against gLabels on the same records and a comparable 60 x 40 mm label (outline
# box, name, price, Code 128 of the item number), both writing one PDF with one page per label.
#
#   bench/driver_vs_glabels.sh [N] [BIG]    N records for the comparison (default 1000), BIG
#                                            records for the scaling run (default 10000)
#   BUILD=dir   the build folder holding bin/bench_driver_pdf_run (default build-driver)
#
# gLabels has no copy count and prints each record once, so our data file asks for one copy per
# record (QTY 1) and both PDFs have N pages. (With EXPAND_QTY=1 gLabels gets sum(QTY) labels,
# but its memory grows with the square of the labels: 155 s and 5.5 GB for 3,102 labels.)
# Prints both wall times, the ratio (target: ours at least 3x faster), then our time and peak
# memory for BIG records with their real quantities (target: linear time, under 150 MB).
set -euo pipefail

N=${1:-1000}
BIG=${2:-10000}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build-driver}
PEERS=${PEERS:-$ROOT/../shared/peers/glabels}
RUNNER=$BUILD/bin/bench_driver_pdf_run

if ! command -v glabels-3-batch >/dev/null || ! command -v pdfinfo >/dev/null; then
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y glabels poppler-utils time >/dev/null
fi
[[ -x $RUNNER ]] || cmake --build "$BUILD" --target bench_driver_pdf_run

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

# Runs our driver mode on N records; sets WALL (seconds), RSS (MiB) and PAGES.
run_ours() {
    local n=$1
    rm -f "$WORK/out$n.pdf"
    cp "$ROOT/bench/driver_bench.FMT" "$WORK/"
    local t0=$EPOCHREALTIME
    /usr/bin/time -v -o "$WORK/time$n.txt" "$RUNNER" "$WORK" driver_bench.FMT "$WORK/data$n.txt" \
        "$WORK/out$n.pdf" 4 >"$WORK/run$n.log" 2>&1 || { cat "$WORK/run$n.log" >&2; exit 1; }
    local t1=$EPOCHREALTIME
    WALL=$(python3 -c "print(f'{$t1 - $t0:.3f}')")
    RSS=$(awk -F': ' '/Maximum resident set size/ {printf "%.1f", $2 / 1024}' "$WORK/time$n.txt")
    PAGES=$(pdfinfo "$WORK/out$n.pdf" | awk '/^Pages:/ {print $2}')
}

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
python3 -c "print(f'ratio               {$GLABELS / $OURS:.1f}x faster (target 3x)')"

# Scaling with the real quantities: N and BIG records, time per page compared.
make_data "$N"
run_ours "$N"
SMALL=$WALL SMALL_PAGES=$PAGES
make_data "$BIG"
run_ours "$BIG"
echo "records             $N with quantities: ${SMALL} s, ${SMALL_PAGES} pages"
echo "records             $BIG with quantities: ${WALL} s, ${PAGES} pages, peak ${RSS} MiB (target under 150 MiB)"
python3 -c "print(f'scaling             {($WALL / $PAGES) / ($SMALL / $SMALL_PAGES):.2f} x the time per page of $N records (1.00 = linear)')"
