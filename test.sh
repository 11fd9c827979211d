#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs the whole test suite.
# BUILD_DIR and CMAKE_ARGS choose another build (the sanitizer build of CI uses them).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" ${CTEST_ARGS:-}
