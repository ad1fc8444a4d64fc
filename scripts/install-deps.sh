#!/usr/bin/env bash
# Installs the Debian packages Kiln builds with, when they are missing.
# (strace lets a command-line test watch files being flushed; python3-jsonschema
# checks export reports against their schema; libjs-three is the 3D library
# `kiln view` inlines in its pages.) --fuzz adds clang, which the fuzz preset
# (scripts/fuzz.sh) builds with; --bench adds Embree, the collision benchmark's
# speed reference, and assimp-utils, the asset import benchmark's (never used
# otherwise). --browser adds Chromium, which the tests open `kiln view` pages
# in; where it cannot be installed those tests skip.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libpng-dev libjpeg-dev libassimp-dev libmeshoptimizer-dev
  strace python3-jsonschema libjs-three
)
browser=()
for option in "$@"; do
  [[ $option == --fuzz ]] && packages+=(clang)
  [[ $option == --bench ]] && packages+=(libembree-dev assimp-utils)
  [[ $option == --browser ]] && browser=(chromium)
done

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
    || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

if ((${#browser[@]})) && ! dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q "install ok installed"; then
  echo "Installing chromium for the browser tests"
  { "${sudo_cmd[@]}" apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq chromium; } ||
    echo "chromium could not be installed: the browser tests will skip"
fi
