#include "view/ViewerAssets.h"

namespace kiln::view {

// The panels, filled by the script: chunk tree and node hierarchy side by
// side, the 3D view with its colour modes, the selection's details, the
// timeline, warnings and side files.
const char* const kViewerBody = R"HTML(
<header><h1 id="file-name"></h1><span id="file-info"></span></header>
<div id="error" class="error" hidden></div>
<main>
  <section class="panel"><h2>Chunks</h2><ul id="chunk-tree" class="tree"></ul></section>
  <section class="panel"><h2>Nodes</h2><ul id="node-tree" class="tree"></ul></section>
  <section id="view">
    <div id="toolbar">
      <label>Colour <select id="mode">
        <option value="blocks">by face block</option>
        <option value="zones">by collision zone</option>
        <option value="skin">by skin weight</option>
        <option value="normals">by normals</option>
      </select></label>
      <select id="bone" hidden></select>
      <label><input type="checkbox" id="edges" checked> shadow edges</label>
    </div>
    <canvas id="canvas"></canvas>
    <div id="no-webgl" class="error" hidden>The 3D view is not available: WebGL could not start in this browser.</div>
    <div id="legend"></div>
  </section>
  <section class="panel"><h2>Selected</h2><div id="details">Click a chunk or a node.</div></section>
</main>
<section id="timeline" hidden>
  <button id="play">Play</button><input type="range" id="time"><span id="time-label"></span>
  <table id="track-values"></table>
</section>
<section id="warnings"><h2>Warnings (<span id="warning-count">0</span>)</h2><ul id="warning-list"></ul></section>
<section id="side-files"><h2>Side files</h2></section>
)HTML";

const char* const kViewerStyle = R"CSS(
body { margin: 0; font: 13px sans-serif; background: #15181c; color: #dde; }
header { padding: 6px 10px; background: #262b33; }
h1 { display: inline; font-size: 16px; margin-right: 12px; }
h2 { font-size: 13px; margin: 4px 0; color: #9ab; }
h3 { font-size: 12px; margin: 8px 0 2px; color: #cb8; }
.error { background: #6a1c1c; color: #fff; padding: 8px 10px; }
main { display: grid; grid-template-columns: 1fr 1fr 2.4fr 1fr; height: 70vh; }
.panel { overflow: auto; padding: 4px 8px; border-right: 1px solid #333; }
.tree, .tree ul { list-style: none; margin: 0; padding-left: 12px; }
.tree { padding-left: 0; }
.entry { cursor: pointer; white-space: nowrap; }
.entry:hover { color: #fff; }
.entry.selected { background: #3b5e8c; color: #fff; }
.has-notes { color: #e9a23b; }
#view { position: relative; display: flex; flex-direction: column; }
#canvas { flex: 1; width: 100%; min-height: 0; display: block; }
#legend { position: absolute; right: 6px; top: 34px; max-height: 60%; overflow: auto; background: rgba(0,0,0,.55); padding: 4px; }
.legend-entry { white-space: nowrap; }
.swatch { display: inline-block; width: 10px; height: 10px; margin-right: 4px; }
#toolbar { padding: 4px; background: #20252c; }
pre { white-space: pre-wrap; word-break: break-all; margin: 0; font-size: 11px; }
#timeline, #warnings, #side-files { padding: 4px 10px; border-top: 1px solid #333; }
#time { width: 60%; vertical-align: middle; }
#track-values td { padding: 0 8px 0 0; font-size: 11px; }
li.error { color: #f88; background: none; padding: 0; }
li.warning { color: #e9c46a; }
)CSS";

}  // namespace kiln::view
