#!/usr/bin/env bash
# Builds Kiln and exports the shipped example car scene into out/, then prints
# the chunk tree of the result.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"
mkdir -p out
build/release/bin/kiln export examples/car.kscene.json out/car.zqc \
  --quiet --ini overwrite --config-dir examples/config
build/release/bin/kiln dump out/car.zqc
