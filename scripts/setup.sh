#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, then
# configures and builds into ./build (or $1). Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true

packages=(qt6-base-dev cmake g++ ninja-build libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth x11-apps imagemagick
  ser2net # the network port tests run the real ser2net on the loopback address
  prometheus # jx_monitord's tests: promtool checks the metrics and alert rules, a real server scrapes the daemon
  fonts-urw-base35 # the caption-fit tests run a second time with these wider fonts (tests/fonts)
  python3) # python3: the tests read zelk_dump's CSV, GPX and KML with its csv and XML modules
scripts/install_packages.sh "${packages[@]}"

cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" -j "$(nproc)"
