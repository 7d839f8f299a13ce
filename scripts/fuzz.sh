#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) into build-fuzz,
# makes their seed corpora and runs each for a bounded time. Exits non-zero
# on any finding; the crashing input is left in build-fuzz/findings/.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default 45 s, all)
# FUZZ_SECONDS overrides the default too.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-${FUZZ_SECONDS:-45}}
shift || true

packages=(clang libclang-rt-14-dev python3) # python3: the layer check every build runs
scripts/install_packages.sh "${packages[@]}"

build=build-fuzz
# -O1 with line tables: what fuzzing wants, and much quicker to build than -O2 -g.
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DJX_BUILD_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=Fuzz "-DCMAKE_CXX_FLAGS=-O1 -gline-tables-only" \
  -DBUILD_TESTING=OFF -DJX_BUILD_BENCH=OFF
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(packets_fuzz system_data_file_fuzz position_file_fuzz dump_fuzz simulator_fuzz monitor_receive_fuzz transfer_fuzz)
fi
cmake --build "$build" -j "$(nproc)" --target fuzz_seeds "${targets[@]}"

corpus=$build/corpus
findings=$build/findings
rm -rf "$corpus"
mkdir -p "$findings"
"$build/fuzz/fuzz_seeds" "$corpus"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
failed=()
for target in "${targets[@]}"; do
  mkdir -p "$corpus/$target"
  echo "== $target: ${seconds}s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=4096 \
      -print_final_stats=1 -artifact_prefix="$findings/$target-" "$corpus/$target" 2>"$build/$target.log"; then
    failed+=("$target")
    tail -n 60 "$build/$target.log"
  fi
  grep -E "^(stat::number_of_executed_units|stat::average_exec_per_sec|#[0-9]+ *DONE)" "$build/$target.log" || true
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz findings in: ${failed[*]} (inputs in $findings)"
  exit 1
fi
echo "fuzz: ${#targets[@]} targets, ${seconds}s each, no findings"
