#!/usr/bin/env bash
# Sets up and builds, then starts the monitor on three simulated receivers.
# Extra arguments go to the monitor. Without a display it runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a build/jx_monitor --demo "$@"
fi
exec build/jx_monitor --demo "$@"
