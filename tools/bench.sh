#!/usr/bin/env bash
# Builds the benchmarks for Windows and runs them under Wine: the slot scan (one
# search per slot against one enumeration) and the burst (the real archive pass
# over 1000 slot files: the longest time away from the message loop, the time
# until all are archived, and the wait of a key pressed in the tray menu opened
# meanwhile). i686, or x86_64 without Wine's 32-bit part.
#
#   bash tools/bench.sh [scan|burst]...      (default: both)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tools/setup.sh
source "$root/tools/setup.sh"

install_missing_packages g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix cmake ninja-build libgtest-dev \
    wine wine64 xvfb xauth locales || exit 1
ensure_japanese_locale
arch=i686
install_wine32 || arch=x86_64
build=$root/build/bench-$arch
benches=("$@")
[ ${#benches[@]} -gt 0 ] || benches=(scan burst)

# The burst opens the tray menu: it needs a display.
if [ -z "${DISPLAY:-}" ]; then
    start_virtual_display 1024x768x24
    trap 'kill "$VIRTUAL_DISPLAY" 2>/dev/null || true' EXIT
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
status=0
for bench in "${benches[@]}"; do
    cmake --build "$build" --target "zolm_${bench}_bench" -j2 >/dev/null
    echo "=== $bench ($arch)"
    # Output goes through a file: a pipe would stay open as long as Wine's server runs.
    out=$build/${bench}_bench.txt
    LC_ALL=ja_JP.UTF-8 "$root/tools/wine-run.sh" --build-dir "$build" -- "$build/zolm_${bench}_bench.exe" \
        >"$out" 2>&1 || status=$?
    tr -d '\r' <"$out"
done
exit $status
