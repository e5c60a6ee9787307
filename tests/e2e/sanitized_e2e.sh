#!/usr/bin/env bash
# Every end-to-end test once more, against a game built with the address,
# leak and undefined-behaviour sanitizers in a build folder of its own. A
# report from any of them, or an unclean exit, fails the test.
#
#   tests/e2e/sanitized_e2e.sh [build folder]     default: build/sanitized
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/sanitized}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQBN_SANITIZE=ON -DQBN_BUILD_TESTS=OFF >"$build.cmake.log" 2>&1 ||
    { cat "$build.cmake.log"; exit 1; }
cmake --build "$build" -j"$(nproc)" --target quibbleton qbn_loudness >"$build.build.log" 2>&1 ||
    { tail -n 40 "$build.build.log"; exit 1; }

failed=0
for test in window levels scene menu editor files playthrough language sound; do
    script="$root/tests/e2e/${test}_e2e.sh"
    [ -f "$script" ] || continue
    echo "--- $test (sanitized)"
    if ! bash "$script" "$build/run/quibbleton"; then
        echo "FAILED: $test under the sanitizers"
        failed=1
    fi
done
exit $failed
