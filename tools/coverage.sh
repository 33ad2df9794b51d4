#!/usr/bin/env bash
# Prints the line and branch coverage of the program's logic (app, replay,
# settings, shellops, voice) reached by the native tests: the unit tests, the
# fault sweeps and the replay of the fuzzer's corpus. Installs gcovr and the
# native build's packages when missing (as root, or through sudo).
#
#   bash tools/coverage.sh          summary
#   bash tools/coverage.sh --files  one line per file as well
set -uo pipefail

cd "$(dirname "$0")/.."
ROOT_DIR=$(pwd)
BUILD=build/coverage

# shellcheck source=tools/setup.sh
source "$ROOT_DIR/tools/setup.sh"
install_missing_packages gcovr libgtest-dev cmake ninja-build g++ || exit 1

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="--coverage -O0" -DCMAKE_EXE_LINKER_FLAGS="--coverage" >/dev/null || exit 1
fi
cmake --build "$BUILD" -j2 || exit 1
find "$BUILD" -name '*.gcda' -delete
ctest --test-dir "$BUILD" -j2 --output-on-failure </dev/null | tail -3

FILTERS=()
for folder in app replay settings shellops voice; do FILTERS+=(--filter "$ROOT_DIR/$folder/"); done
# Only the native logic counts: the Win32 entry point is tested under Wine.
EXCLUDES=(--exclude '.*_win32\.cpp$')
if [ "${1:-}" = "--files" ]; then
    gcovr -r "$ROOT_DIR" "${FILTERS[@]}" "${EXCLUDES[@]}" --exclude-unreachable-branches "$BUILD"
fi
# The report goes to a file of the build: gcovr replaces the file it writes.
gcovr -r "$ROOT_DIR" "${FILTERS[@]}" "${EXCLUDES[@]}" --exclude-unreachable-branches --print-summary \
    -o "$BUILD/coverage.txt" "$BUILD" | grep -E '^(lines|branches):'
