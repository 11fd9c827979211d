#!/bin/bash
# The full crash proof of the watched folder: 20 files, the service killed with SIGKILL 30 times
# and stopped with SIGTERM 10 times, once per seed (about 15 s each).
# Usage: tests/scripts/crash_proof.sh [BUILD_DIR [SEED...]]; without seeds, five random ones.
# Prints each seed's result and its records in doubt; the exit status is 1 when a seed failed.
set -u
build=${1:-build}
shift || true
seeds=("$@")
if [ ${#seeds[@]} -eq 0 ]; then
    seeds=($RANDOM $RANDOM $RANDOM $RANDOM $RANDOM)
fi
failed=0
for seed in "${seeds[@]}"; do
    if PELMAR_PROOF_SEED=$seed QT_QPA_PLATFORM=offscreen "$build/bin/test_faults" \
        --gtest_also_run_disabled_tests --gtest_filter='Rows/UnattendedCrash.*DISABLED_Full' \
        --gtest_output="xml:$build/crash-proof-$seed.xml" >"$build/crash-proof-$seed.log" 2>&1; then
        doubt=$(sed -n 's/.*name="in_doubt" value="\([0-9]*\)".*/\1/p' "$build/crash-proof-$seed.xml")
        echo "seed $seed: passed, ${doubt:-0} record(s) in doubt"
    else
        echo "seed $seed: FAILED, see $build/crash-proof-$seed.log"
        failed=1
    fi
done
exit $failed
