#!/usr/bin/env bash
# settings.sh KILN SCENE DIR: setting flags hold for one export; the settings
# file changes only with --save-settings or --reset-settings, and is not
# rewritten when nothing changes; a cut-off or empty one fails with the
# exporter's message and names --reset-settings; a pipe is refused unread.
set -u
kiln=$1 scene=$2 dir=$3
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$dir" && mkdir -p "$dir/config"
cfg=$dir/config/kilnmaxexporter.cfg
run() { "$kiln" export "$scene" "$dir/out.zqs" --quiet --ini overwrite --config-dir "$dir/config" "$@" 2>"$dir/stderr"; }
flag() { od -An -tu4 -j $((4 + 4 * $1)) -N4 "$cfg" | tr -d ' '; }  # flag $1 of the settings file
inode() { stat -c %i "$cfg"; }

run --meshes off || fail "a flagged export: $(cat "$dir/stderr")"
[[ ! -e $cfg ]] || fail "a flagged export created the settings file"
run --meshes off --save-settings || fail "--save-settings: $(cat "$dir/stderr")"
[[ $(flag 0) == 0 && $(flag 10) == 1 ]] || fail "--save-settings did not store meshes off"
grep -q "settings saved in .*kilnmaxexporter.cfg" "$dir/stderr" || fail "no word of the saved settings"
before=$(inode)
run --meshes on --copy-textures off || fail "a second flagged export"
[[ $(inode) == "$before" && $(flag 0) == 0 ]] || fail "a flagged export changed the settings file"
run --meshes off --save-settings || fail "saving the same settings"
[[ $(inode) == "$before" ]] || fail "saving unchanged settings rewrote the file"

good=$(mktemp) && cp "$cfg" "$good"
for size in 0 20; do
  head -c $size "$good" >"$cfg"
  run --meshes off
  code=$?
  [[ $code == 4 ]] || fail "a $size-byte settings file: exit $code"
  grep -q "Wrong version of config file" "$dir/stderr" || fail "no exporter message: $(cat "$dir/stderr")"
  grep -q -- "--reset-settings writes the defaults" "$dir/stderr" || fail "no way out: $(cat "$dir/stderr")"
  [[ $(stat -c %s "$cfg") == "$size" ]] || fail "a failed export changed the settings file"
done
rm -f "$good" "$cfg" && mkfifo "$cfg"  # never read: a reader would wait for a writer
run && fail "a pipe as the settings file was read"
grep -q "kilnmaxexporter.cfg: the settings file is not a regular file" "$dir/stderr" || fail "pipe: $(cat "$dir/stderr")"
rm -f "$cfg"
run --reset-settings --meshes off || fail "--reset-settings: $(cat "$dir/stderr")"
[[ $(stat -c %s "$cfg") == 48 && $(flag 0) == 1 && $(flag 9) == 0 ]] || fail "--reset-settings did not store the defaults"
echo "ok: setting flags hold for one export, the settings file changes only when asked"
