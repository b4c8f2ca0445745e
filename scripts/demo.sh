#!/usr/bin/env bash
# The main job: builds everything (native core and tests, the Windows build) and runs the
# program's demonstration under Wine when the program is part of the build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
jobs=$(nproc)
cmake -S . -B build/native -G Ninja >/dev/null
cmake --build build/native -j "$jobs"
cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j "$jobs"
echo "Built: build/native (core, tests, benchmarks) and build/windows"
