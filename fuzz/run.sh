#!/usr/bin/env bash
# Builds the virtual printer's fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it on the seed corpus.
#   fuzz/run.sh [SECONDS]        default 60; the build goes to build-fuzz/ in the repository
# Findings are written to build-fuzz/findings/; the exit status is not 0 when there is one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
out="$root/build-fuzz"
mkdir -p "$out/findings" "$out/corpus"

sources=("$root"/fuzz/tspl_fuzz.cpp "$root"/src/preview/*.cpp "$root"/src/common/*.cpp)
# shellcheck disable=SC2207
qt_flags=($(pkg-config --cflags --libs Qt6Gui Qt6Core))

clang++ -std=c++20 -O1 -g -fPIC -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" "${sources[@]}" "${qt_flags[@]}" -lzint -o "$out/tspl_fuzz"

# The seeds plus everything the golden tests render.
cp "$root"/fuzz/corpus/tspl/* "$root"/tests/golden/preview/*.tspl "$out/corpus/"

# Leaks inside Qt's font and platform set-up are not ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
exec "$out/tspl_fuzz" "$out/corpus" -max_total_time="$seconds" -rss_limit_mb=2048 \
  -timeout=10 -max_len=65536 -artifact_prefix="$out/findings/"
