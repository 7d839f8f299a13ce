#!/usr/bin/env bash
# The input rate one pseudo-terminal port sustains beside fifteen ports at
# 1 Hz, the poll timer running for real: the e2e input test offered each rate
# (bytes per second) for SECONDS. A rate passes when every frame is parsed and
# every slow report arrives, within 3 s of the end of the offer.
#   usage: bench/input_rate.sh [SECONDS] [RATE...]   (BUILD=build by default)
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
SECONDS_OFFERED=${1:-20}
shift || true
RATES=("$@")
[ ${#RATES[@]} -gt 0 ] || RATES=(64000 128000 256000 512000)
for rate in "${RATES[@]}"; do
  if JX_INPUT_SECONDS=$SECONDS_OFFERED JX_INPUT_RATE=$rate QT_QPA_PLATFORM=offscreen \
    "$BUILD/tests/e2e_tests" --gtest_filter='InputRate.*' >/dev/null 2>&1; then
    echo "$rate bytes/s for ${SECONDS_OFFERED} s: all parsed"
  else
    echo "$rate bytes/s for ${SECONDS_OFFERED} s: NOT kept up"
  fi
done
