#!/usr/bin/env bash
# The inspector page of a 1,000,000-triangle export (20 meshes of 160 x 160
# vertices with texture coordinates, 1,011,240 triangles): the page's size
# against the exported file's, and the time from navigation until the page
# sets its ready marker in headless Chromium with software WebGL (the page
# records it in body[data-ready-ms]).
#
#   bench/view-big-page.sh [kiln program, default build/release/bin/kiln] [work folder]
set -euo pipefail
cd "$(dirname "$0")/.."
kiln=$(realpath "${1:-build/release/bin/kiln}")
work=${2:-/tmp/kiln-view-big}
mkdir -p "$work"

python3 - "$work/grids.kscene.json" <<'PY'
import json, math, sys
side, meshes = 160, 20
nodes = []
for m in range(meshes):
    verts, tverts, faces = [], [], []
    for y in range(side):
        for x in range(side):
            u, v = x / (side - 1), y / (side - 1)
            verts.append([round(u * 10, 4), round(v * 10, 4), round(math.sin(u * 12) * math.cos(v * 9) * 0.3, 4)])
            tverts.append([round(u, 4), round(v, 4), 0])
    for y in range(side - 1):
        for x in range(side - 1):
            a = y * side + x
            faces += [{"v": [a, a + 1, a + side + 1], "smGroup": 1}, {"v": [a, a + side + 1, a + side], "smGroup": 1}]
    nodes.append({"name": "Grid%02d" % m, "handle": m + 1,
                  "transform": {"position": [(m % 5) * 11, (m // 5) * 11, 0]},
                  "mesh": {"verts": verts, "faces": faces, "tverts": tverts,
                           "tvfaces": [f["v"] for f in faces]}})
json.dump({"format": "kscene", "version": 1, "nodes": nodes}, open(sys.argv[1], "w"))
PY
"$kiln" export "$work/grids.kscene.json" "$work/grids.zqs" --quiet --ini overwrite \
  --config-dir "$work/config" >/dev/null
/usr/bin/time -f "kiln view: %e s, peak %M KB" "$kiln" view "$work/grids.zqs" -o "$work/grids.html"

file_bytes=$(stat -c %s "$work/grids.zqs")
page_bytes=$(stat -c %s "$work/grids.html")
echo "exported file: $file_bytes bytes"
echo "page:          $page_bytes bytes ($(awk "BEGIN{printf \"%.2f\", $page_bytes/$file_bytes}") x the file)"

browser=$(command -v chromium || command -v chromium-browser || true)
[[ -n $browser ]] || { echo "chromium is not installed: no opening time"; exit 0; }
for run in 1 2 3; do
  start=$(date +%s.%N)
  dom=$("$browser" --headless --no-sandbox --use-angle=swiftshader --enable-unsafe-swiftshader \
    --user-data-dir="$work/profile" --virtual-time-budget=30000 --window-size=1280,800 \
    --dump-dom "file://$work/grids.html" 2>/dev/null)
  end=$(date +%s.%N)
  ready=$(grep -o 'data-ready-ms="[0-9]*"' <<<"$dom" | grep -o '[0-9]*' || echo "never")
  webgl=$(grep -o 'data-webgl="[a-z]*"' <<<"$dom" || true)
  echo "run $run: ready after $ready ms ($webgl); chromium ran $(awk "BEGIN{printf \"%.1f\", $end-$start}") s in all"
done
