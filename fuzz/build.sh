#!/usr/bin/env bash
# Builds the RTF reader fuzz target (it writes back what it read, too) with libFuzzer and
# AddressSanitizer, in a CMake build of its own. Needs clang and libclang-rt-14-dev
# (Debian). Usage:
#   fuzz/build.sh [output-dir]          then
#   LSAN_OPTIONS=suppressions=fuzz/lsan.supp \
#   nice -n 10 <output-dir>/fuzz_rtfreader fuzz/corpus/rtfreader tests/data/rtf -dict=fuzz/rtf.dict -max_total_time=600
# (new inputs go to the first folder; the test fixtures seed it too)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
out="${1:-$root/build-fuzz}"
mkdir -p "$out"
# The target links the codec library alone, built here with the sanitizers.
CC=clang CXX=clang++ cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWP_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build "$out" --target fuzz_rtfreader
echo "built $out/fuzz_rtfreader"
