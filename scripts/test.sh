#!/usr/bin/env bash
# Builds Kiln under AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --browser
cmake --preset asan
cmake --build --preset asan -j "$(nproc)"
ctest --preset asan
