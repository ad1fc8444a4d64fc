#!/usr/bin/env bash
# big-scene.sh FILE FACES: writes a scene of one mesh of FACES faces whose
# numbers live in a side file of zeros beside FILE (made in no time, and
# slow enough to export that a test can catch the export under way).
set -eu
file=$1 faces=$2
side=${file%.kscene.json}.bin
truncate -s $((12 + 12 * faces)) "$side"
cat >"$file" <<JSON
{"format": "kscene", "version": 1, "buffers": [{"uri": "$(basename "$side")"}],
 "nodes": [{"name": "Big", "handle": 1, "mesh": {
   "verts": {"buffer": 0, "count": 3, "type": "f32"},
   "faces": {"v": {"buffer": 0, "offset": 12, "count": $((3 * faces)), "type": "u32"}}}}]}
JSON
