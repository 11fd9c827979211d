#!/usr/bin/env bash
# The demo: installs what is missing, builds the programs, and prints the example shop
# (examples/shop) automatically to the virtual printer; the label pictures land in
# examples/shop/out/. BUILD_DIR chooses another build folder.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja ${CMAKE_ARGS:-} >/dev/null
# The programs this build defines. The list is taken whole before it is searched: a reader
# that stops early (grep -q) would kill the writer with SIGPIPE and, under pipefail, lose targets.
known=$'\n'$(ninja -C "$build" -t targets all)
targets=()
for t in pelmar pelmar-print tspl-render; do
  if [[ "$known" == *$'\n'"$t: "* ]]; then
    targets+=("$t")
  fi
done
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "run.sh: the build in $build defines none of pelmar, pelmar-print, tspl-render" >&2
  exit 1
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
exec examples/print_shop.sh "$build/bin" examples/shop
