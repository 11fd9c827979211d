#!/usr/bin/env bash
# The demo: installs what is missing, builds the programs, and prints the example shop
# (examples/shop) automatically to the virtual printer; the label pictures land in
# examples/shop/out/. BUILD_DIR chooses another build folder.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja ${CMAKE_ARGS:-} >/dev/null
targets=()
for t in pelmar pelmar-print tspl-render; do
  if ninja -C "$build" -t targets all 2>/dev/null | grep -q "^$t:"; then
    targets+=("$t")
  fi
done
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
exec examples/print_shop.sh "$build/bin" examples/shop
