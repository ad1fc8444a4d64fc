#!/usr/bin/env bash
# full-disk.sh KILN SCENE DIR: exports onto a small tmpfs that fills up. The
# failed export exits 4 naming the file and "No space left on device", leaves
# the earlier output and no temporary file; on a disk too full even for the
# logs, kiln lists what it could not write. Mounting needs root or a user
# namespace: without either the test says it skipped.
set -u
if [[ ${1:-} != --inside ]]; then
  for namespace in "unshare -m" "unshare -rm"; do
    $namespace true 2>/dev/null && exec $namespace "$0" --inside "$@"
  done
  echo "SKIPPED: no private mount namespace here (needs root or user namespaces)"
  exit 0
fi
kiln=$2 scene=$3 dir=$4
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$dir" && mkdir -p "$dir/disk" "$dir/config"
if ! mount -t tmpfs -o size=256k tmpfs "$dir/disk" 2>/dev/null; then
  echo "SKIPPED: cannot mount a small tmpfs here"
  exit 0
fi
"$(dirname "$0")/big-scene.sh" "$dir/big.kscene.json" 100000  # about 600 KB of output
flags=(--quiet --ini overwrite --config-dir "$dir/config")
"$kiln" export "$scene" "$dir/disk/out.zqs" "${flags[@]}" 2>/dev/null || fail "the earlier export"
cp "$dir/disk/out.zqs" "$dir/out.zqs.before"

"$kiln" export "$dir/big.kscene.json" "$dir/disk/out.zqs" "${flags[@]}" >"$dir/stderr" 2>&1
code=$?
[[ $code == 4 ]] || fail "disk full: exit $code: $(cat "$dir/stderr")"
grep -q "kiln: error: .*: $dir/disk/out.zqs: No space left on device" "$dir/stderr" ||
  fail "disk full: $(cat "$dir/stderr")"
cmp -s "$dir/disk/out.zqs" "$dir/out.zqs.before" || fail "the earlier output changed"
[[ -z $(find "$dir/disk" -name '*kiln-tmp*') ]] || fail "temporary files stayed"

cat /dev/zero >"$dir/disk/filler" 2>/dev/null  # not a byte left, not even for the logs
"$kiln" export "$scene" "$dir/disk/out.zqs" "${flags[@]}" >"$dir/stderr" 2>&1
code=$?
[[ $code == 4 ]] || fail "no room for logs: exit $code: $(cat "$dir/stderr")"
grep -q "kiln: the log files could not be written" "$dir/stderr" &&
  grep -q "out_errors.log: No space left on device" "$dir/stderr" ||
  fail "no room for logs: $(cat "$dir/stderr")"
echo "ok: a full disk fails with its reason and keeps the earlier output"
