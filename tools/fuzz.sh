#!/usr/bin/env bash
# Builds the fuzzer over the settings file (clang, libFuzzer, AddressSanitizer and
# UBSan, over the fake platform) in build/fuzz and runs it from the checked-in
# seed corpus for the given number of seconds (60 by default). New inputs go to
# build/fuzz/corpus, findings to build/fuzz/findings. Exits non-zero on a finding.
#
#   bash tools/fuzz.sh [seconds] [libFuzzer options...]
set -uo pipefail

cd "$(dirname "$0")/.."
ROOT_DIR=$(pwd)
RUN_SECONDS=${1:-60}
shift || true
BUILD=build/fuzz

# shellcheck source=tools/setup.sh
source "$ROOT_DIR/tools/setup.sh"
install_missing_packages "${FUZZ_PACKAGES[@]}" libgtest-dev cmake ninja-build g++ || exit 1

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOLM_FUZZ=ON \
        -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
        -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null || exit 1
fi
cmake --build "$BUILD" -j2 --target zolm_settings_fuzzer || exit 1

mkdir -p "$BUILD/corpus" "$BUILD/findings"
# Short allocation stacks and a small quarantine: a run allocates thousands of
# small strings in the fake, and the full defaults cost more than the run itself.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=3:quarantine_size_mb=16}
"$BUILD/zolm_settings_fuzzer" -max_total_time="$RUN_SECONDS" -timeout=10 -rss_limit_mb=2048 -max_len=1024 \
    -dict=tests/fuzz/ini.dict -artifact_prefix="$BUILD/findings/" -print_final_stats=1 "$@" \
    "$BUILD/corpus" tests/fuzz/corpus
