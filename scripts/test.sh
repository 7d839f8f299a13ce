#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. With --sanitize it builds
# into build-asan with AddressSanitizer and UndefinedBehaviorSanitizer.
# Further arguments go to CMake (CI passes -DJX_WERROR=ON).
#   scripts/test.sh [--sanitize] [-DOPTION=VALUE...]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--sanitize" ]; then
  shift
  scripts/setup.sh build-asan -DJX_SANITIZE=ON -DJX_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug "$@"
  build=build-asan
else
  scripts/setup.sh build "$@"
  build=build
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 300
