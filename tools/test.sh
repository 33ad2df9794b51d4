#!/usr/bin/env bash
# Runs every test of ZOLM on a Debian 12 machine, installing first whatever is
# missing (as root, or through sudo):
#   native            the logic over the fake platform (GoogleTest)
#   native-sanitize   the same under AddressSanitizer and UBSan
#   mingw-i686        the real Win32 layer and the real zolm.exe under Wine
#   mingw-x86_64      the same, 64-bit
#   fuzz              the fuzzer over the settings file, 60 s from its seed
#                     corpus (clang, libFuzzer), counted as one test
# Ends with one line "N passed, N failed" over all test runs; exits non-zero
# when anything failed.
#
#   bash tools/test.sh [preset...]
set -uo pipefail

cd "$(dirname "$0")/.."
ROOT_DIR=$(pwd)
PRESETS=("$@")
[ ${#PRESETS[@]} -gt 0 ] || PRESETS=(native native-sanitize mingw-i686 mingw-x86_64 fuzz)

PACKAGES=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth
          locales libgtest-dev cmake ninja-build g++ python3)

# shellcheck source=tools/setup.sh
source "$ROOT_DIR/tools/setup.sh"

install_missing_packages "${PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" || { echo "0 passed, 1 failed"; exit 1; }
ensure_japanese_locale || { echo "cannot generate ja_JP.UTF-8"; echo "0 passed, 1 failed"; exit 1; }
# Only the i686 tests need Wine's 32-bit part; without it they are skipped.
if [[ " ${PRESETS[*]} " == *" mingw-i686 "* ]]; then
    install_wine32
fi

passed=0
failed=0
skipped=0
LOGS=$(mktemp -d)
trap 'rm -rf "$LOGS"' EXIT

# test_preset NAME: configure (once), build, run its tests, count them.
test_preset() {
    local preset=$1 log=$LOGS/$1.log status
    echo "=== $preset"
    if [ ! -f "build/$preset/CMakeCache.txt" ]; then
        cmake --preset "$preset" || { echo "$preset: configure failed"; failed=$((failed + 1)); return; }
    fi
    cmake --build --preset "$preset" -j2 || { echo "$preset: build failed"; failed=$((failed + 1)); return; }

    # Without Wine's 32-bit part (a kernel that runs no 32-bit program, or a
    # mirror without its lists) the i686 build is only built, and its tests
    # are counted as skipped, never as passed.
    if [ "$preset" = mingw-i686 ] && ! runs_32bit_wine; then
        local count
        count=$(ctest --preset "$preset" -N 2>/dev/null | sed -nE 's/^Total Tests: ([0-9]+)$/\1/p')
        echo "$preset: built; its ${count:-0} tests skipped: $WINE32_MISSING"
        skipped=$((skipped + ${count:-0}))
        return
    fi

    # Native tests run two at a time; the Wine ones one at a time (their
    # presets say so), each in a prefix under its build folder.
    local jobs=()
    case "$preset" in native*) jobs=(-j2) ;; esac
    ctest --preset "$preset" "${jobs[@]}" </dev/null 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    # "100% tests passed, 0 tests failed out of 54"
    local summary total failures
    summary=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
    if [ -z "$summary" ]; then
        echo "$preset: no test ran"
        failed=$((failed + 1))
        return
    fi
    failures=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$summary")
    passed=$((passed + total - failures))
    failed=$((failed + failures))
    if [ "$status" -ne 0 ] && [ "$failures" -eq 0 ]; then
        echo "$preset: ctest failed"
        failed=$((failed + 1))
    fi
}

# test_fuzz: one test, failed on a finding or when the fuzzer cannot be built.
test_fuzz() {
    echo "=== fuzz"
    if bash tools/fuzz.sh 60 </dev/null; then
        passed=$((passed + 1))
    else
        echo "fuzz: failed (findings in build/fuzz/findings)"
        failed=$((failed + 1))
    fi
}

started=$(date +%s)
for preset in "${PRESETS[@]}"; do
    if [ "$preset" = fuzz ]; then test_fuzz; else test_preset "$preset"; fi
done
echo "=== all presets in $(($(date +%s) - started)) s"
if [ "$skipped" -gt 0 ]; then
    echo "$passed passed, $failed failed, $skipped skipped"
else
    echo "$passed passed, $failed failed"
fi
[ "$failed" -eq 0 ]
