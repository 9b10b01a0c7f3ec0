#!/usr/bin/env bash
# Builds the RTF reader fuzz target (it writes back what it read, too) with libFuzzer and
# AddressSanitizer, apart from the CMake build. Needs clang and libclang-rt-14-dev
# (Debian). Usage:
#   fuzz/build.sh [output-dir]          then
#   nice -n 10 <output-dir>/fuzz_rtfreader fuzz/corpus/rtfreader -max_total_time=600
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
out="${1:-$root/build-fuzz}"
mkdir -p "$out"
qt_cflags="$(pkg-config --cflags Qt6Core Qt6Gui Qt6Core5Compat 2>/dev/null || true)"
qt_libs="$(pkg-config --libs Qt6Core Qt6Gui Qt6Core5Compat 2>/dev/null || echo -lQt6Gui -lQt6Core -lQt6Core5Compat)"
if [ -z "$qt_cflags" ]; then
  inc=/usr/include/x86_64-linux-gnu/qt6
  qt_cflags="-I$inc -I$inc/QtCore -I$inc/QtGui -I$inc/QtCore5Compat"
fi
sources=(
  "$here/fuzz_rtfreader.cpp"
  "$root"/engine/rtftokenizer.cpp
  "$root"/engine/rtfcontrolwords.cpp
  "$root"/engine/rtfreader.cpp
  "$root"/engine/rtfreader_*.cpp
  "$root"/engine/rtfreadfields.cpp
  "$root"/engine/rtfreadpictures.cpp
  "$root"/engine/rtfreadtables.cpp
  "$root"/engine/rtfdocumentbuilder.cpp
  "$root"/engine/formatmapping.cpp
  "$root"/engine/rtfwriter.cpp
  "$root"/engine/rtfoutput.cpp
  "$root"/engine/rtftables.cpp
  "$root"/engine/rtfpicture.cpp
)
clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" $qt_cflags "${sources[@]}" $qt_libs -o "$out/fuzz_rtfreader"
echo "built $out/fuzz_rtfreader"
