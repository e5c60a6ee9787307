#!/usr/bin/env bash
# The fuzz smoke test: builds the fuzz targets with clang in their own build
# folder and runs each for 20 seconds on its seeds alone. Any crash, leak or
# hang fails it. Registered with CTest as fuzz.smoke when clang is there.
#
#   fuzz/ci.sh [build folder]          default: build/fuzz-clang
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QBN_FUZZ_BUILD=${1:-$root/build/fuzz-clang}
export QBN_FUZZ_FRESH=1
exec bash "$root/fuzz/run" "${QBN_FUZZ_SECONDS:-20}"
