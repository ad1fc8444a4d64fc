#!/usr/bin/env bash
# Installs the Debian packages Kiln builds with, when they are missing.
# (strace lets a command-line test watch files being flushed; python3-jsonschema
# checks export reports against their schema; assimp-utils is the reference
# the asset import benchmark measures against.) --fuzz adds clang, which the
# fuzz preset (scripts/fuzz.sh) builds with; --bench adds Embree, the collision
# benchmark's speed reference (never used otherwise).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libpng-dev libjpeg-dev libassimp-dev libmeshoptimizer-dev
  strace python3-jsonschema assimp-utils
)
[[ ${1:-} == --fuzz ]] && packages+=(clang)
[[ ${1:-} == --bench ]] && packages+=(libembree-dev)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
    || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
