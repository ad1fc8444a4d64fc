#!/usr/bin/env bash
# The inspector page of a 1,000,000-triangle export (20 meshes of 160 x 160
# vertices, 1,011,240 triangles): the page's size against the exported
# file's, and the time from navigation until the page sets its ready marker
# in headless Chromium with software WebGL (the page records it in
# body[data-ready-ms]).
#
#   cmake --preset release && cmake --build --preset release
#   bench/view-big-page.sh [build folder, default build/release] [work folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
work=${2:-/tmp/kiln-view-big}
mkdir -p "$work"

"$build/bin/mesh_export_bench" 20 160 "$work" >/dev/null
exported="$work/grids.zqs"
/usr/bin/time -f "kiln view: %e s, peak %M KB" "$build/bin/kiln" view "$exported" -o "$work/grids.html"

file_bytes=$(stat -c %s "$exported")
page_bytes=$(stat -c %s "$work/grids.html")
echo "exported file: $file_bytes bytes"
echo "page:          $page_bytes bytes ($(awk "BEGIN{printf \"%.2f\", $page_bytes/$file_bytes}") x the file)"

browser=$(command -v chromium || command -v chromium-browser || true)
[[ -n $browser ]] || { echo "chromium not installed: no opening time"; exit 0; }
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
