#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the fuzz preset (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, every library instrumented for coverage) and
# runs each libFuzzer target of fuzz/ for SECONDS (default 60).
#
# A target is one file, fuzz/NAME.cpp. Its seeds are fuzz/corpus/NAME/ and its
# dictionary fuzz/NAME.dict, both optional; what the run finds goes to
# build/fuzz/corpus/NAME/ and is reused by the next run. Inputs that crash,
# leak or hang are kept as build/fuzz/artifacts/NAME-*. The last line of each
# target is its final count of executions, coverage (cov) and features (ft).
# Exits 1 when any target found something. Not part of CI.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/install-deps.sh --fuzz || exit 1
targets=()
for source in fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$(nproc)" --target "${targets[@]}" ||
  exit 1

found=0
mkdir -p build/fuzz/artifacts
for name in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  args=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
        -artifact_prefix="build/fuzz/artifacts/$name-" "$corpus")
  [[ -d fuzz/corpus/$name ]] && args+=("fuzz/corpus/$name")
  [[ -f fuzz/$name.dict ]] && args=(-dict="fuzz/$name.dict" "${args[@]}")
  echo "== $name: ${seconds} s"
  if ! "build/fuzz/bin/$name" "${args[@]}" >"build/fuzz/$name.log" 2>&1; then
    found=1
    grep -E "ERROR|SUMMARY|Test unit written" "build/fuzz/$name.log"
  fi
  last=$(grep -E "^#[0-9]+" "build/fuzz/$name.log" | tail -1)
  executions=$(grep -E "stat::number_of_executed_units" "build/fuzz/$name.log" | awk '{print $2}')
  echo "   executions: ${executions:-?}; last status: ${last:-none} (log: build/fuzz/$name.log)"
done
exit $found
