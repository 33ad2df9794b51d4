#!/bin/sh
# Builds the slot scan benchmark for Windows (i686) and runs it under Wine.
#
#   sh tools/bench.sh [build folder]      (default: build/bench-i686)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench-i686}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$build" --target zolm_scan_bench -j2
# Output goes through a file: a pipe would stay open as long as Wine's server runs.
out=$build/scan_bench.txt
status=0
"$root/tools/wine-run.sh" --build-dir "$build" -- "$build/zolm_scan_bench.exe" >"$out" 2>&1 || status=$?
tr -d '\r' <"$out"
exit $status
