#!/bin/bash
# The full crash proof of the watched folder: 20 files, the service killed with SIGKILL 30 times,
# once per seed. Usage: tests/scripts/crash_proof.sh [BUILD_DIR [SEED...]]; without seeds, five
# random ones. Prints each seed's result; the exit status is 1 when any seed failed.
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
        echo "seed $seed: passed ($(grep -o 'in_doubt="[0-9]*"' "$build/crash-proof-$seed.xml"))"
    else
        echo "seed $seed: FAILED, see $build/crash-proof-$seed.log"
        failed=1
    fi
done
exit $failed
