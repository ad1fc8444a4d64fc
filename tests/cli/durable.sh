#!/usr/bin/env bash
# durable.sh KILN SCENE DIR: traces an export's system calls. Every file put
# in place (the output, the logs, the settings file) is flushed to disk under
# its temporary name before the rename, and its folder is flushed after.
set -u
kiln=$1 scene=$2 dir=$3
fail() { echo "FAIL: $*"; exit 1; }
command -v strace >/dev/null || { echo "SKIPPED: strace is not installed"; exit 0; }
rm -rf "$dir" && mkdir -p "$dir"
# (Leak checking cannot run under a tracer.)
ASAN_OPTIONS=detect_leaks=0 strace -f -qq -e trace=openat,fsync,rename -o "$dir/trace" \
  "$kiln" export "$scene" "$dir/out.zqs" --quiet --ini overwrite --config-dir "$dir" 2>/dev/null ||
  fail "the export"
# For each rename of a temporary file: the fd it was opened as was fsynced
# before, and a descriptor of its folder was fsynced after.
awk -v dir="$dir" '
  { sub(/^[0-9]+ +/, "") }
  /^openat\(/ && / = [0-9]+$/ {
    split($0, q, "\""); fd = $NF
    path[fd] = q[2]; synced[fd] = 0; folder[fd] = ($0 ~ /O_DIRECTORY/)
  }
  /^fsync\(/ {
    fd = $0; sub(/^fsync\(/, "", fd); sub(/\).*/, "", fd)
    synced[fd] = 1
    if (folder[fd] && pending[path[fd]] > 0) pending[path[fd]]--
  }
  /^rename\(/ && /kiln-tmp-/ {
    split($0, q, "\""); from = q[2]; to = q[4]; ok = 0
    for (fd in path) if (path[fd] == from && synced[fd]) ok = 1
    if (!ok) { print "not flushed before its rename: " to; bad = 1 }
    renamed++; f = to; sub(/\/[^\/]*$/, "", f); pending[f]++
  }
  END {
    for (f in pending) if (pending[f] > 0) { print "folder not flushed after a rename: " f; bad = 1 }
    if (renamed < 3) { print "only " renamed " files were put in place"; bad = 1 }
    exit bad
  }' "$dir/trace" || fail "see $dir/trace"
echo "ok: every file was flushed before it was put in place, and its folder after"
