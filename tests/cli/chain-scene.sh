#!/usr/bin/env bash
# chain-scene.sh DEPTH FILE: writes a scene whose nodes form one chain DEPTH deep.
set -eu
depth=$1 file=$2
{
  printf '{"format": "kscene", "version": 1, "nodes": [\n'
  printf '{"name": "N1", "handle": 1}'
  for ((i = 2; i <= depth; i++)); do printf ',\n{"name": "N%d", "handle": %d, "parent": %d}' "$i" "$i" $((i - 1)); done
  printf '\n]}\n'
} >"$file"
