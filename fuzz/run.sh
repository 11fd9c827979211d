#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each on its seed corpus.
#   fuzz/run.sh [SECONDS] [TARGET...]   default 60 seconds per target, every target in turn
#   fuzz/run.sh --build                 build only
# Targets: every fuzz/*_fuzz.cpp (settings, data, format, expression, date, tspl, pcx).
# The build goes to build-fuzz/ in the repository: objects in obj/, the growing corpus of each
# target in corpus/<target>/, its log in logs/<target>.log, findings in findings/<target>/.
# The exit status is not 0 when a target found something. fuzz/figures.sh prints the figures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-fuzz"
mkdir -p "$out/obj" "$out/logs" "$out/findings" "$out/corpus"

build_only=0
if [[ "${1:-}" == "--build" ]]; then
  build_only=1
  shift
fi
seconds="${1:-60}"
[[ $# -gt 0 ]] && shift
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  for f in "$root"/fuzz/*_fuzz.cpp; do
    b="$(basename "$f" .cpp)"
    targets+=("${b%_fuzz}")
  done
fi

# shellcheck disable=SC2207
qt_cflags=($(pkg-config --cflags Qt6Network Qt6Gui Qt6Core))
# shellcheck disable=SC2207
qt_libs=($(pkg-config --libs Qt6Network Qt6Gui Qt6Core))
flags=(-std=c++20 -O1 -g -fPIC -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined
       -fno-sanitize-recover=undefined -I"$root/src" -I"$root/fuzz" "${qt_cflags[@]}")

# The library sources the targets need, compiled once each; an object is rebuilt when its source
# or any header it includes is newer (clang's dependency files).
library_sources=("$root"/src/common/*.cpp "$root"/src/state/*.cpp "$root"/src/data/*.cpp
                 "$root"/src/format/*.cpp "$root"/src/barcode/*.cpp "$root"/src/preview/*.cpp
                 "$root"/src/print_command/field_expression.cpp
                 "$root"/src/print_command/date_picture.cpp)
stale() { # object source
  local obj="$1" src="$2" dep="${1%.o}.d"
  [[ ! -f "$obj" || ! -f "$dep" || "$src" -nt "$obj" ]] && return 0
  local f
  for f in $(sed -e 's/^[^:]*://' -e 's/\\$//' "$dep"); do
    [[ "$f" -nt "$obj" ]] && return 0
  done
  return 1
}
objects=()
pids=()
for src in "${library_sources[@]}"; do
  rel="${src#"$root"/src/}"
  obj="$out/obj/${rel//\//_}"
  obj="${obj%.cpp}.o"
  objects+=("$obj")
  if stale "$obj" "$src"; then
    clang++ "${flags[@]}" -MMD -c "$src" -o "$obj" &
    pids+=($!)
    # Two compilers at a time: the machine is shared.
    if [[ ${#pids[@]} -ge 2 ]]; then
      wait "${pids[0]}"
      pids=("${pids[@]:1}")
    fi
  fi
done
for pid in "${pids[@]}"; do wait "$pid"; done

for t in "${targets[@]}"; do
  obj="$out/obj/${t}_fuzz.o"
  if stale "$obj" "$root/fuzz/${t}_fuzz.cpp"; then
    clang++ "${flags[@]}" -MMD -c "$root/fuzz/${t}_fuzz.cpp" -o "$obj"
  fi
  clang++ -fsanitize=fuzzer,address,undefined "$obj" "${objects[@]}" "${qt_libs[@]}" -lzint \
    -o "$out/${t}_fuzz"
done
[[ $build_only -eq 1 ]] && exit 0

# Leaks inside Qt's font and platform set-up are not ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:quarantine_size_mb=64:malloc_context_size=10}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$out/corpus/$t" "$out/findings/$t"
  # Seeds: our own test files, then the inputs of earlier findings.
  for seeds in "$root/fuzz/corpus/$t" "$root/tests/data_files/fuzz_regressions/$t"; do
    if [[ -d "$seeds" ]]; then
      cp -r "$seeds"/. "$out/corpus/$t/"
    fi
  done
  if [[ "$t" == tspl ]]; then
    cp "$root"/tests/golden/preview/*.tspl "$out/corpus/$t/"
  fi
  echo "== $t: $seconds s" >&2
  if ! "$out/${t}_fuzz" "$out/corpus/$t" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=512 \
    -timeout=10 -max_len=65536 -print_final_stats=1 -artifact_prefix="$out/findings/$t/" \
    >"$out/logs/$t.log" 2>&1; then
    echo "== $t: FINDING, see $out/logs/$t.log" >&2
    status=1
  fi
done
exit $status
