#!/usr/bin/env bash
# fifo-side-file.sh DIR: writes DIR/fifo.kscene.json, whose side file is a
# named pipe nobody writes to. A reader that opened it blocking would hang.
set -eu
dir=$1
rm -rf "$dir" && mkdir -p "$dir"
mkfifo "$dir/pipe.bin"
cat >"$dir/fifo.kscene.json" <<JSON
{"format": "kscene", "version": 1, "buffers": [{"uri": "pipe.bin"}],
 "nodes": [{"name": "M", "handle": 1, "mesh": {"verts": {"buffer": 0, "count": 9, "type": "f32"},
   "faces": [{"v": [0, 1, 2]}]}}]}
JSON
