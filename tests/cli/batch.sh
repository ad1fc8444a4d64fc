#!/usr/bin/env bash
# batch.sh KILN EXAMPLES BROKEN SCHEMA DIR: one kiln exports several scenes
# into a folder: each output is named after its scene, the exit status is the
# worst, the report (validated against SCHEMA) has an entry each. Two scenes
# with one output name are refused before anything is written; SIGINT ends a
# batch with the scene under way left as it was and the rest not started.
set -um
kiln=$1 examples=$2 broken=$3 schema=$4 dir=$5
fail() { echo "FAIL: $*"; exit 1; }
check() { /usr/bin/python3 "$(dirname "$0")/check-report.py" "$schema" "$@" || fail "report $1"; }
rm -rf "$dir" && mkdir -p "$dir/out" "$dir/config" "$dir/other"
flags=(--quiet --ini overwrite --config-dir "$dir/config")

"$kiln" export --kind zqc --out-dir "$dir/out" "${flags[@]}" --report "$dir/report.json" \
  "$examples/car.kscene.json" "$broken" "$examples/scene.kscene.json" 2>"$dir/stderr"
code=$?
[[ $code == 4 ]] || fail "a batch with a broken scene: exit $code: $(cat "$dir/stderr")"
[[ -s $dir/out/car.zqc && -s $dir/out/scene.zqc && ! -e $dir/out/broken.zqc ]] || fail "outputs: $(ls "$dir/out")"
grep -q "kiln: 3 scenes: 2 exported, 1 failed" "$dir/stderr" || fail "no batch line: $(cat "$dir/stderr")"
check "$dir/report.json" exported failed exported

# The same output name twice: nothing is written.
cp "$examples/scene.kscene.json" "$dir/other/"
"$kiln" export --kind zqs --out-dir "$dir/twice" "${flags[@]}" "$examples/scene.kscene.json" \
  "$dir/other/scene.kscene.json" 2>"$dir/stderr"
code=$?
[[ $code == 2 ]] && grep -q "would both be written to .*scene.zqs" "$dir/stderr" || fail "twice: exit $code: $(cat "$dir/stderr")"
[[ ! -e $dir/twice ]] || fail "a refused batch wrote something"

# SIGINT during the second of three scenes, after one that failed: exit 3 all the same.
"$(dirname "$0")/big-scene.sh" "$dir/big.kscene.json" 1000000
"$kiln" export --kind zqs --out-dir "$dir/out" "${flags[@]}" --report "$dir/stopped.json" \
  "$broken" "$dir/big.kscene.json" "$examples/scene.kscene.json" 2>"$dir/stderr" &
pid=$!
for ((i = 0; i < 3000; i++)); do
  compgen -G "$dir/out/.big.zqs.kiln-tmp-*" >/dev/null && break
  sleep 0.01
done
kill -INT "$pid"
wait "$pid"
code=$?
[[ $code == 3 ]] || fail "SIGINT: exit $code: $(cat "$dir/stderr")"
[[ ! -e $dir/out/big.zqs && ! -e $dir/out/scene.zqs ]] || fail "SIGINT: outputs were written"
grep -q "0 of 3 scenes exported before, 1 not started" "$dir/stderr" || fail "SIGINT: $(cat "$dir/stderr")"
check "$dir/stopped.json" failed interrupted
grep -q '^  "exit_status": 3,$' "$dir/stopped.json" || fail "SIGINT: the report's exit status is not 3"
grep -q '"not_started": \[' "$dir/stopped.json" && grep -q 'examples/scene.kscene.json"' "$dir/stopped.json" ||
  fail "SIGINT: the report does not list the scene not started"
! compgen -G "${TMPDIR:-/tmp}/kiln-config-$pid-*" >/dev/null ||
  fail "SIGINT left the private configuration folder"
echo "ok: batches export each scene, report each and stop at SIGINT"
