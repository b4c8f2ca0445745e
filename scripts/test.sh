#!/usr/bin/env bash
# Sets up and runs every test: the Windows build under Wine, the native clang build, and the
# native g++ build with a short fuzz run (its ctest summary is the last thing printed).
# All builds use AddressSanitizer and UndefinedBehaviorSanitizer natively; warnings are errors.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh || exit 1
jobs=$(nproc)
status=0

step() { echo; echo "=== $* ==="; }

# The 32-bit program is always built (its imports and size are checked with the 64-bit tests);
# its own tests run under Wine only where this machine can run 32-bit programs.
leg32=0
scripts/wine32.sh ready && leg32=1
if [ $leg32 -eq 1 ]; then
  step "32-bit Windows build, tests"
  i686_tests=ON
  i686_target=all
else
  step "32-bit Windows build of the programs"
  i686_tests=OFF
  i686_target="lumatrove lumatrove_console"
fi
cmake -S . -B build/windows-i686 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DLUMATROVE_WERROR=ON -DLUMATROVE_TESTS=$i686_tests >/dev/null &&
  cmake --build build/windows-i686 -j "$jobs" --target $i686_target || status=1

step "Windows build (mingw-w64), tests under Wine"
cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DLUMATROVE_WERROR=ON \
  -DLUMATROVE_X86_PROGRAM="$root/build/windows-i686/bin/lumatrove.exe" >/dev/null &&
  cmake --build build/windows -j "$jobs" || status=1
if [ $status -eq 0 ]; then
  # The program's windows need an X display: a private Xvfb unless one is given.
  xvfb=""
  if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 80 89); do
      [ -e "/tmp/.X$n-lock" ] || { export DISPLAY=":$n"; break; }
    done
    Xvfb "$DISPLAY" -screen 0 800x600x24 >/dev/null 2>&1 &
    xvfb=$!
    sleep 1
  fi
  scripts/wine-session.sh start build/windows
  (cd build/windows && ctest --output-on-failure -j 1) || status=1
  scripts/wine-session.sh stop build/windows
  if [ $leg32 -eq 1 ]; then
    step "32-bit Windows tests under Wine"
    scripts/wine-session.sh start build/windows-i686
    (cd build/windows-i686 && ctest --output-on-failure -j 1) || status=1
    scripts/wine-session.sh stop build/windows-i686
  fi
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null
    unset DISPLAY
  fi
fi

# The clang build leaves SSE2 out of the XML scans: those are the scans the 32-bit program,
# built for processors without SSE2, runs.
step "Native build with clang, XML scans without SSE2, tests"
cmake -S . -B build/native-clang -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DLUMATROVE_SANITIZE=ON -DLUMATROVE_WERROR=ON -DLUMATROVE_FUZZ=OFF -DLUMATROVE_BENCH=OFF \
  -DLUMATROVE_SIMD=OFF >/dev/null &&
  cmake --build build/native-clang -j "$jobs" &&
  (cd build/native-clang && ctest --output-on-failure -j "$jobs" >ctest.log 2>&1; rc=$?;
   tail -n 3 ctest.log; exit $rc) || status=1

step "Native build with g++, tests, benchmarks built, fuzz run"
cmake -S . -B build/native -G Ninja -DLUMATROVE_SANITIZE=ON -DLUMATROVE_WERROR=ON \
  -DLUMATROVE_FUZZ_SECONDS="${LUMATROVE_FUZZ_SECONDS:-60}" >/dev/null &&
  cmake --build build/native -j "$jobs" || status=1
(cd build/native && ctest --output-on-failure -j "$jobs") || status=1
exit $status
