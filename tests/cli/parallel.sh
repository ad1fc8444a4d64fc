#!/usr/bin/env bash
# parallel.sh KILN SCENE DIR ROUNDS: in each round four exports of SCENE run
# at once with one configuration folder (each saving its settings file),
# two of them to the same output. Every one must succeed; afterwards the
# settings file is whole, every output reads back and no temporary file stays.
set -u
kiln=$1 scene=$2 dir=$3 rounds=$4
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$dir" && mkdir -p "$dir/config"
for ((round = 0; round < rounds; round++)); do
  pids=()
  for out in a a b c; do
    "$kiln" export "$scene" "$dir/$out.zqs" --quiet --ini overwrite --config-dir "$dir/config" \
      --copy-textures on --save-settings >"$dir/log.$round.${#pids[@]}" 2>&1 &
    pids+=($!)
  done
  for ((n = 0; n < ${#pids[@]}; n++)); do
    wait "${pids[n]}" || fail "round $round, export $n: $(cat "$dir/log.$round.$n")"
  done
done
[[ $(stat -c %s "$dir/config/kilnmaxexporter.cfg") == 48 ]] || fail "the settings file is not whole"
for out in a b c; do "$kiln" dump "$dir/$out.zqs" >/dev/null || fail "$out.zqs does not read back"; done
leftovers=$(find "$dir" -name '*kiln-tmp*')
[[ -z $leftovers ]] || fail "temporary files stayed: $leftovers"
echo "ok: $((4 * rounds)) parallel exports succeeded"
