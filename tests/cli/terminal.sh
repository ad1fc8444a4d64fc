#!/usr/bin/env bash
# terminal.sh KILN SCENE DIR: kiln at a terminal 40 columns wide (script(1)
# gives it one). The .ini question names the file and what each answer does;
# an error shown as a message is not repeated; the closing line counts with
# the right grammar; the progress bar fits the width and is cleared before
# the next line; OK in the settings dialog stores its settings; Ctrl-C leaves
# the bar where it stopped.
set -um  # job control: the background export may be sent SIGINT
kiln=$1 scene=$2 dir=$3
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$dir" && mkdir -p "$dir/config"
on_terminal() {  # INPUT COMMAND...: the terminal's text, carriage returns as line ends
  printf '%s' "$1" | script -qec "stty cols 40; ${*:2}" /dev/null | tr '\r' '\n' >"$dir/screen"
}
export_to() { echo "$kiln" export "$scene" "$dir/$1" --config-dir "$dir/config" "${@:2}"; }

"$kiln" export "$scene" "$dir/out.zqs" --quiet --config-dir "$dir/config" 2>/dev/null || fail "first export"
on_terminal $'n\n' "$(export_to out.zqs --quiet)"
grep -q "out.ini exists (from an earlier export" "$dir/screen" &&
  grep -q "no      keep the existing .ini files as they are; this export writes no .ini entries" "$dir/screen" ||
  fail "the .ini question: $(cat "$dir/screen")"

# The bar: never wider than the terminal; cleared before the closing line.
width=$(grep -E '\] +[0-9]+%$' "$dir/screen" | awk '{ if (length > w) w = length } END { print w + 0 }')
((width > 0 && width < 40)) || fail "a bar of $width columns at a 40-column terminal: $(cat -A "$dir/screen")"
grep -q $'^\x1b\\[Kkiln: exported .*out.zqs with 2 warnings' "$dir/screen" || fail "bar not cleared: $(cat -A "$dir/screen")"

# OK in the settings dialog stores what it confirmed (2 toggles Cameras).
on_terminal $'2\n\n' "$(export_to dialog.zqs)"
[[ $(od -An -tu4 -j 12 -N4 "$dir/config/kilnmaxexporter.cfg" | tr -d ' ') == 0 ]] ||
  fail "the dialog's OK did not store its settings: $(cat "$dir/screen")"

# A settings file of another version: its message once, one error counted.
printf '\x28\0\0\0' >"$dir/config/kilnmaxexporter.cfg"
on_terminal "" "$(export_to other.zqs)"
[[ $(grep -c "Wrong version of config file" "$dir/screen") == 1 ]] || fail "not once: $(cat "$dir/screen")"
grep -q "was not written (1 error, see .*other_errors.log)" "$dir/screen" || fail "count: $(cat "$dir/screen")"
# Ctrl-C: the bar stays where it stopped, and the next line says what became of the output.
"$(dirname "$0")/big-scene.sh" "$dir/big.kscene.json" 1000000
script -qec "stty cols 40; echo \$\$ >$dir/pid; exec $kiln export $dir/big.kscene.json $dir/big.zqs --quiet" \
  /dev/null </dev/null >"$dir/raw" &
for ((i = 0; i < 3000; i++)); do
  grep -q '%' "$dir/raw" && break
  sleep 0.01
done
kill -INT "$(cat "$dir/pid")" && wait
sed 's/\r$//' "$dir/raw" | tr '\r' '\n' | grep -B1 "^kiln: interrupted; nothing was exported: .*big.zqs" |
  head -1 | grep -qE '\] +[0-9]+%$' || fail "Ctrl-C: $(cat -A "$dir/raw")"
echo "ok: questions, messages and the progress bar at a terminal"
