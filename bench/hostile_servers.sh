#!/usr/bin/env bash
# Hostile Telnet device servers against one network port for SECONDS each (an
# option storm, an endless subnegotiation), a pseudo-terminal display port
# beside it: the e2e test run long. It prints the test's verdict (periodic
# queries on time, resident memory under 100 MB, the server cut off with its
# reason); CI runs the same test for 3 s.
#   usage: bench/hostile_servers.sh [SECONDS]   (BUILD=build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
JX_HOSTILE_SECONDS=${1:-20} QT_QPA_PLATFORM=offscreen \
  "$BUILD/tests/e2e_tests" --gtest_filter='HostileServers.*'
