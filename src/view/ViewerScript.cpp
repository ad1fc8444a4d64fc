#include "view/ViewerAssets.h"

namespace kiln::view {

// The page's own script. It reads the JSON description and the binary blob
// inlined in the page, builds the panels with textContent only (names from the
// file are never parsed as HTML), draws every object with one draw call a
// mesh, and sets body[data-ready] once the first frame is drawn.
const char* const kViewerScript = R"JS(
(function () {
  'use strict';
  const body = document.body;
  const $ = (id) => document.getElementById(id);
  function el(tag, cls, text) {
    const e = document.createElement(tag);
    if (cls) e.className = cls;
    if (text !== undefined) e.textContent = String(text);
    return e;
  }
  function fail(where, error) {
    const li = el('li', 'error', where + ': ' + (error && error.message ? error.message : error));
    $('warning-list').appendChild(li);
  }

  const timing = {start: performance.now()};
  const mark = (name) => { timing[name] = Math.round(performance.now()); };
  const data = JSON.parse($('kiln-data').textContent);
  const blob = (function (text) {
    const s = atob(text.trim());
    const bytes = new Uint8Array(s.length);
    for (let i = 0; i < s.length; ++i) bytes[i] = s.charCodeAt(i);
    return bytes.buffer;
  })($('kiln-bin').textContent);
  mark('decoded');
  const F32 = (r) => new Float32Array(blob, r.o, r.n);
  const U16 = (r) => new Uint16Array(blob, r.o, r.n);
  const U32 = (r) => new Uint32Array(blob, r.o, r.n);
  const I16 = (r) => new Int16Array(blob, r.o, r.n);

  // ---- header, error, warnings, side files ----
  $('file-name').textContent = data.file;
  $('file-info').textContent = data.size + ' bytes' + (data.banner ? ', banner "' + data.banner + '"' : '');
  if (data.error) {
    $('error').textContent = 'This file could not be read: ' + data.error;
    $('error').hidden = false;
    body.dataset.rejected = '1';
  }
  const sideByRole = {};
  for (const f of data.sideFiles) sideByRole[f.role] = f;
  const warningList = $('warning-list');
  for (const w of data.warnings) warningList.appendChild(el('li', 'note', 'at ' + w.offset + ': ' + w.text));
  for (const role of ['errors', 'warnings']) {
    const f = sideByRole[role];
    if (!f) continue;
    for (const line of f.text.split(/\r?\n/)) {
      if (line.trim()) warningList.appendChild(el('li', role === 'errors' ? 'error' : 'warning', line));
    }
  }
  $('warning-count').textContent = String(warningList.children.length);
  for (const f of data.sideFiles) {
    const d = el('details', 'side-file');
    d.dataset.role = f.role;
    d.appendChild(el('summary', '', f.name));
    d.appendChild(el('pre', '', f.text));
    $('side-files').appendChild(d);
  }

  // Sections of a profile text: name (lower case) -> lines.
  function iniSections(text) {
    const sections = {};
    let current = null;
    for (const line of text.split(/\r?\n/)) {
      const m = /^\s*\[(.*)\]\s*$/.exec(line);
      if (m) { current = m[1].toLowerCase(); sections[current] = sections[current] || []; }
      else if (current !== null && line.trim()) sections[current].push(line);
    }
    return sections;
  }
  const ini = sideByRole.ini ? iniSections(sideByRole.ini.text) : {};
  const shaders = sideByRole.shaders ? iniSections(sideByRole.shaders.text) : {};
  const cfg = sideByRole.cfg ? iniSections(sideByRole.cfg.text) : {};

  // ---- nodes ----
  const nodes = new Map();  // handle -> {name, parent, m, type, objects: []}
  for (const n of data.nodes) nodes.set(n.h, {name: n.name, parent: n.parent, m: n.m, type: n.type, objects: []});
  for (const o of data.objects) {
    if (!nodes.has(o.h)) nodes.set(o.h, {name: o.name, parent: o.parent, m: o.m, type: o.type, objects: []});
    nodes.get(o.h).objects.push(o);
  }
  const nodeTypes = ['mesh', 'skinned', 'bone', 'helper', 'other'];

  // ---- chunk tree ----
  const fieldsOf = new Map();
  function chunkItem(c) {
    const li = el('li');
    const label = el('span', 'entry', '(' + c.id.join(', ') + ') ' + c.kind + (c.name !== undefined ? ' "' + c.name + '"' : '') +
      ' @' + c.offset + ', ' + c.size + ' bytes');
    if (c.h !== undefined) label.dataset.handle = c.h;
    if (c.notes) label.classList.add('has-notes');
    fieldsOf.set(label, c);
    li.appendChild(label);
    if (c.c) {
      const ul = el('ul');
      for (const child of c.c) ul.appendChild(chunkItem(child));
      li.appendChild(ul);
    }
    return li;
  }
  const chunkTree = $('chunk-tree');
  for (const c of data.chunks) chunkTree.appendChild(chunkItem(c));

  // ---- hierarchy ----
  const hierarchy = $('node-tree');
  const childrenOf = new Map();
  for (const [h, n] of nodes) {
    const p = nodes.has(n.parent) ? n.parent : -1;
    if (!childrenOf.has(p)) childrenOf.set(p, []);
    childrenOf.get(p).push(h);
  }
  function nodeItem(h, depth) {
    const n = nodes.get(h);
    const li = el('li');
    const kind = typeof n.type === 'number' ? nodeTypes[n.type] || String(n.type) : n.type;
    const label = el('span', 'entry', n.name + ' [' + h + '] ' + (kind || ''));
    label.dataset.handle = h;
    li.appendChild(label);
    const kids = childrenOf.get(h);
    if (kids && depth < 256) {
      const ul = el('ul');
      for (const k of kids) ul.appendChild(nodeItem(k, depth + 1));
      li.appendChild(ul);
    }
    return li;
  }
  for (const h of childrenOf.get(-1) || []) hierarchy.appendChild(nodeItem(h, 0));

  // ---- details of the selection ----
  function addBlock(parent, title, lines) {
    if (!lines || !lines.length) return;
    parent.appendChild(el('h3', '', title));
    parent.appendChild(el('pre', '', lines.join('\n')));
  }
  function showDetails(h, chunk) {
    const d = $('details');
    d.textContent = '';
    if (chunk) {
      d.appendChild(el('h3', '', '(' + chunk.id.join(', ') + ') ' + chunk.kind));
      d.appendChild(el('pre', '', chunk.fields !== undefined ? JSON.stringify(chunk.fields, null, 1)
        : 'fields not shown for a chunk of ' + chunk.size + ' bytes'));
      if (chunk.notes) addBlock(d, 'Notes', chunk.notes);
    }
    const n = nodes.get(h);
    if (!n) return;
    d.appendChild(el('h3', 'node-name', n.name + ' [' + h + ']'));
    const key = n.name.toLowerCase();
    if (ini[key]) addBlock(d, '[' + n.name + '] in ' + sideByRole.ini.name, ini[key]);
    if (cfg[key]) addBlock(d, '[' + n.name + '] in ' + sideByRole.cfg.name, cfg[key]);
    for (const o of n.objects) {
      if (o.type !== 'mesh') continue;
      addBlock(d, 'Face blocks', o.blocks.map((b, i) => i + ': ' + b.material + ', ' + b.faces + ' faces'));
      for (const b of o.blocks) {
        const s = shaders[b.material.toLowerCase()];
        if (s) addBlock(d, '[' + b.material + '] in ' + sideByRole.shaders.name, s);
      }
    }
    for (const role of ['errors', 'warnings', 'informations']) {
      const f = sideByRole[role];
      if (!f || !n.name) continue;
      addBlock(d, f.name, f.text.split(/\r?\n/).filter((l) => l.includes(n.name)));
    }
  }
  let selected = null;
  const picked = [];
  function select(h, chunk) {
    for (const e of picked) e.classList.remove('selected');
    picked.length = 0;
    selected = h;
    body.dataset.selected = h === null ? '' : String(h);
    if (h !== null) {
      for (const e of document.querySelectorAll('[data-handle="' + Number(h) + '"]')) {
        e.classList.add('selected');
        picked.push(e);
      }
      if (picked.length) picked[0].scrollIntoView({block: 'nearest'});
    }
    showDetails(h, chunk);
    view.highlight(h);
  }
  for (const tree of [chunkTree, hierarchy]) {
    tree.addEventListener('click', (event) => {
      const t = event.target;
      if (!t.classList || !t.classList.contains('entry')) return;
      select(t.dataset.handle !== undefined ? Number(t.dataset.handle) : null, fieldsOf.get(t));
    });
  }

  // ---- colours ----
  const zoneRGB = data.zoneColours.map((c) => [(c >> 16) & 255, (c >> 8) & 255, c & 255]);
  function blockRGB(i) {
    const h = (i * 0.6180339887) % 1;
    const c = new THREE.Color().setHSL(h, 0.65, 0.55);
    return [Math.round(c.r * 255), Math.round(c.g * 255), Math.round(c.b * 255)];
  }
  const css = (rgb) => 'rgb(' + rgb.join(',') + ')';
  const materialIndex = new Map();
  for (const o of data.objects) {
    if (o.type !== 'mesh') continue;
    for (const b of o.blocks) if (!materialIndex.has(b.material)) materialIndex.set(b.material, materialIndex.size);
  }
  const boneNames = [];
  for (const o of data.objects) {
    if (o.type === 'mesh' && o.skin) for (const b of o.skin.bones) if (!boneNames.includes(b)) boneNames.push(b);
  }

  function paint(o, colours, mode, bone) {
    const n = colours.length / 3;
    const grey = [128, 128, 128];
    const put = (v, rgb) => { colours[v * 3] = rgb[0]; colours[v * 3 + 1] = rgb[1]; colours[v * 3 + 2] = rgb[2]; };
    if (mode === 'blocks') {
      for (let v = 0; v < n; ++v) put(v, grey);
      const index = o.geometry.index.array;
      o.blocks.forEach((b) => {
        const rgb = blockRGB(materialIndex.get(b.material));
        const end = Math.min(index.length, b.firstIndex + b.faces * 3);
        for (let i = Math.max(0, b.firstIndex); i < end; ++i) put(index[i], rgb);
      });
    } else if (mode === 'zones') {
      const zones = o.zones ? I16(o.zones) : null;
      for (let v = 0; v < n; ++v) put(v, zones && zones[v] >= 0 ? zoneRGB[zones[v] & 255] : grey);
    } else if (mode === 'skin') {
      const skin = o.skin;
      const b = skin ? skin.bones.indexOf(bone) : -1;
      const w = skin ? F32(skin.weights) : null, k = skin ? I16(skin.index) : null;
      for (let v = 0; v < n; ++v) {
        let weight = 0;
        if (b >= 0) for (let j = 0; j < 4; ++j) if (k[v * 4 + j] === b) weight += w[v * 4 + j];
        weight = Math.max(0, Math.min(1, weight));
        put(v, b < 0 ? [40, 40, 90] : [Math.round(255 * weight), 40, Math.round(255 * (1 - weight))]);
      }
    } else {
      const normals = o.normals ? F32(o.normals) : null;
      for (let v = 0; v < n; ++v) {
        if (!normals) { put(v, grey); continue; }
        put(v, [0, 1, 2].map((a) => Math.round((normals[v * 3 + a] * 0.5 + 0.5) * 255)));
      }
    }
  }

  function legend(mode) {
    const box = $('legend');
    box.textContent = '';
    const entry = (rgb, text) => {
      const row = el('div', 'legend-entry');
      const swatch = el('span', 'swatch');
      swatch.style.background = css(rgb);
      row.appendChild(swatch);
      row.appendChild(el('span', '', text));
      box.appendChild(row);
    };
    if (mode === 'blocks') {
      for (const [name, i] of materialIndex) entry(blockRGB(i), name || '(no material)');
    } else if (mode === 'zones') {
      const used = new Set();
      for (const o of data.objects) if (o.type === 'mesh' && o.zones) for (const z of I16(o.zones)) if (z >= 0) used.add(z);
      for (const z of [...used].sort((a, b) => a - b)) entry(zoneRGB[z & 255], 'zone ' + z);
      entry([128, 128, 128], 'no zone');
    } else if (mode === 'skin') {
      entry([255, 40, 0], 'weight 1 of ' + ($('bone').value || 'no bone'));
      entry([0, 40, 255], 'weight 0');
    } else {
      entry([255, 128, 128], 'x');
      entry([128, 255, 128], 'y');
      entry([128, 128, 255], 'z');
    }
  }

  // ---- 3D ----
  const view = {highlight() {}, redraw() {}, pose() {}};
  function matrixOf(m) {
    return new THREE.Matrix4().set(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11], 0, 0, 0, 1);
  }
  function rotationOf(r) {
    const axis = new THREE.Vector3(r[1], r[2], r[3]);
    if (axis.lengthSq() === 0 || !isFinite(r[0])) return new THREE.Quaternion();
    return new THREE.Quaternion().setFromAxisAngle(axis.normalize(), r[0]);
  }
  // translation . rotation . stretch . scale . stretch^-1
  function offsetMatrix(o) {
    const u = new THREE.Matrix4().makeRotationFromQuaternion(rotationOf(o.u));
    const m = new THREE.Matrix4().compose(new THREE.Vector3(...o.t), rotationOf(o.r), new THREE.Vector3(1, 1, 1));
    m.multiply(u).multiply(new THREE.Matrix4().makeScale(...o.k)).multiply(new THREE.Matrix4().getInverse(u));
    return m;
  }

  function build3D() {
    const canvas = $('canvas');
    let renderer;
    try {
      renderer = new THREE.WebGLRenderer({canvas: canvas, preserveDrawingBuffer: true});
    } catch (error) {
      body.dataset.webgl = 'no';
      $('no-webgl').hidden = false;
      return;
    }
    body.dataset.webgl = 'yes';
    renderer.setClearColor(0x20242a);
    const scene = new THREE.Scene();
    scene.add(new THREE.AmbientLight(0xffffff, 0.55));
    const sun = new THREE.DirectionalLight(0xffffff, 0.6);
    sun.position.set(1, 2, 1.5);
    scene.add(sun);
    const camera = new THREE.PerspectiveCamera(45, 1, 0.01, 1000);
    const root = new THREE.Group();
    scene.add(root);

    const groups = new Map();
    for (const [h, n] of nodes) {
      const g = new THREE.Group();
      g.matrixAutoUpdate = false;
      g.matrix.copy(matrixOf(n.m));
      g.userData.handle = h;
      g.userData.rest = g.matrix.clone();
      groups.set(h, g);
    }
    for (const [h, g] of groups) {
      const p = nodes.get(h).parent;
      (groups.has(p) && p !== h ? groups.get(p) : root).add(g);
    }

    const meshes = [];
    const drawables = [];
    const bounds = new THREE.Box3();
    function inOffset(o, object) {
      if (!o.offset) return object;
      const g = new THREE.Group();
      g.matrixAutoUpdate = false;
      g.matrix.copy(offsetMatrix(o.offset));
      g.add(object);
      return g;
    }
    for (const o of data.objects) {
      const parent = groups.get(o.h);
      let object = null;
      if (o.type === 'mesh' || o.type === 'shadow' || o.type === 'damage') {
        const geometry = new THREE.BufferGeometry();
        geometry.setAttribute('position', new THREE.BufferAttribute(F32(o.positions), 3));
        const count = o.positions.n / 3;
        const index = o.indices ? U16(o.indices) : U32(o.indices32);
        let bad = false;
        for (let i = 0; i < index.length; ++i) if (index[i] >= count) { bad = true; break; }
        if (bad) { fail(o.name, 'a face names a vertex past the ' + count + ' vertices; not drawn'); continue; }
        geometry.setIndex(new THREE.BufferAttribute(index, 1));
        if (o.type === 'mesh') {
          if (o.normals) geometry.setAttribute('normal', new THREE.BufferAttribute(F32(o.normals), 3));
          else geometry.computeVertexNormals();
          geometry.setAttribute('color', new THREE.BufferAttribute(new Uint8Array(count * 3), 3, true));
          object = new THREE.Mesh(geometry, new THREE.MeshLambertMaterial({vertexColors: THREE.VertexColors, side: THREE.DoubleSide}));
          o.geometry = geometry;
          meshes.push(o);
        } else if (o.type === 'shadow') {
          object = new THREE.Group();
          object.add(new THREE.Mesh(geometry, new THREE.MeshBasicMaterial({color: 0x101010, transparent: true, opacity: 0.45, side: THREE.DoubleSide})));
          const edges = U32(o.edges);
          let good = true;
          for (let i = 0; i < edges.length; ++i) if (edges[i] >= count) good = false;
          if (good) {
            const lines = new THREE.BufferGeometry();
            lines.setAttribute('position', geometry.getAttribute('position'));
            lines.setIndex(new THREE.BufferAttribute(edges, 1));
            const edgeLines = new THREE.LineSegments(lines, new THREE.LineBasicMaterial({color: 0xffd040}));
            edgeLines.userData.edges = true;
            object.add(edgeLines);
          }
        } else {
          object = new THREE.Mesh(geometry, new THREE.MeshBasicMaterial({color: 0xff5030, wireframe: true}));
        }
      } else if (o.type === 'box') {
        const min = new THREE.Vector3(...o.centre).add(new THREE.Vector3(...o.corner));
        const max = new THREE.Vector3(...o.centre).sub(new THREE.Vector3(...o.corner));
        object = new THREE.Box3Helper(new THREE.Box3(min.clone().min(max), max.max(min)), 0x40c0ff);
      }
      if (!object) continue;
      object.userData.handle = o.h;
      drawables.push(object);
      (parent || root).add(inOffset(o, object));
    }
    root.updateMatrixWorld(true);
    for (const d of drawables) bounds.expandByObject(d);
    if (bounds.isEmpty()) bounds.setFromCenterAndSize(new THREE.Vector3(), new THREE.Vector3(2, 2, 2));
    const size = Math.max(bounds.getSize(new THREE.Vector3()).length(), 1e-3);
    const centre = bounds.getCenter(new THREE.Vector3());

    // Markers for cameras, lights, bones and other nodes without geometry.
    const markerSize = size * 0.04;
    for (const o of data.objects) {
      let marker = null;
      if (o.type === 'camera') {
        // The file's field of view is horizontal, in radians; cameras look
        // down their local -z, which the output axes make -y.
        const fov = o.fov > 0 && o.fov < Math.PI ? o.fov : Math.PI / 4;
        const c = new THREE.PerspectiveCamera(2 * Math.atan(Math.tan(fov / 2) / 1.5) * 180 / Math.PI, 1.5, markerSize * 0.2, markerSize * 2);
        c.rotation.x = -Math.PI / 2;
        c.updateMatrixWorld(true);  // the helper draws in the camera's own frame, under the node
        marker = new THREE.CameraHelper(c);
      } else if (o.type === 'light') {
        const colour = new THREE.Color(o.colour[0], o.colour[1], o.colour[2]);
        marker = new THREE.Mesh(new THREE.OctahedronBufferGeometry(markerSize * 0.5), new THREE.MeshBasicMaterial({color: colour, wireframe: true}));
      } else if (!['mesh', 'shadow', 'damage', 'box'].includes(o.type)) {
        marker = new THREE.AxesHelper(markerSize);
      }
      if (!marker) continue;
      marker.userData.handle = o.h;
      drawables.push(marker);
      (groups.get(o.h) || root).add(marker);
    }

    camera.near = size / 1000;
    camera.far = size * 100;
    camera.position.copy(centre).add(new THREE.Vector3(0.85, 0.65, 1.15).multiplyScalar(size));
    camera.lookAt(centre);
    const controls = new THREE.OrbitControls(camera, canvas);
    controls.target.copy(centre);
    controls.screenSpacePanning = true;
    controls.update();

    const highlight = new THREE.Box3Helper(new THREE.Box3(), 0xffffff);
    highlight.visible = false;
    scene.add(highlight);

    function resize() {
      const w = canvas.clientWidth || 300, h = canvas.clientHeight || 200;
      renderer.setSize(w, h, false);
      camera.aspect = w / h;
      camera.updateProjectionMatrix();
    }
    let pending = false;
    function render() {
      pending = false;
      resize();
      renderer.render(scene, camera);
    }
    view.redraw = () => { if (!pending) { pending = true; requestAnimationFrame(render); } };
    controls.addEventListener('change', view.redraw);
    window.addEventListener('resize', view.redraw);

    view.highlight = (h) => {
      highlight.visible = false;
      const box = new THREE.Box3();
      root.updateMatrixWorld(true);
      for (const d of drawables) if (d.userData.handle === h) box.expandByObject(d);
      if (!box.isEmpty()) { highlight.box.copy(box); highlight.visible = true; }
      view.redraw();
    };
    view.recolour = (mode, bone) => {
      for (const o of meshes) {
        const attribute = o.geometry.getAttribute('color');
        paint(o, attribute.array, mode, bone);
        attribute.needsUpdate = true;
      }
      view.redraw();
    };
    view.edges = (on) => {
      scene.traverse((x) => { if (x.userData.edges) x.visible = on; });
      view.redraw();
    };
    view.pose = (byName) => {
      for (const [h, g] of groups) {
        const m = byName.get(nodes.get(h).name);
        g.matrix.copy(m || g.userData.rest);
      }
      root.updateMatrixWorld(true);
      view.redraw();
    };
    // A node that only a track names (animation files have no hierarchy) gets a marker.
    view.addMarker = (h) => {
      const g = new THREE.Group();
      g.matrixAutoUpdate = false;
      g.userData.rest = new THREE.Matrix4();
      const axes = new THREE.AxesHelper(0.25);
      axes.userData.handle = h;
      drawables.push(axes);
      g.add(axes);
      groups.set(h, g);
      root.add(g);
    };
    const raycaster = new THREE.Raycaster();
    let down = null;
    canvas.addEventListener('pointerdown', (e) => { down = [e.clientX, e.clientY]; });
    canvas.addEventListener('pointerup', (e) => {
      if (!down || Math.abs(e.clientX - down[0]) + Math.abs(e.clientY - down[1]) > 4) return;
      const r = canvas.getBoundingClientRect();
      raycaster.setFromCamera(new THREE.Vector2((e.clientX - r.left) / r.width * 2 - 1, -(e.clientY - r.top) / r.height * 2 + 1), camera);
      const hit = raycaster.intersectObjects(meshes.map((o) => o.geometry && drawables.find((d) => d.geometry === o.geometry)).filter(Boolean))[0];
      select(hit ? hit.object.userData.handle : null);
    });
    // Reading a pixel back waits until the frame is really drawn.
    view.ready = () => {
      render();
      const gl = renderer.getContext();
      gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
    };
  }

  // ---- tracks ----
  function keyReader(part) {
    const offsets = {};
    let stride = 0;
    for (const [name, n] of part.layout) { offsets[name] = stride; stride += n; }
    const keys = F32(part.keys);
    const count = Math.min(part.count, stride ? Math.floor(keys.length / stride) : 0);
    return {count, get: (i, name, n) => Array.from(keys.subarray(i * stride + offsets[name], i * stride + offsets[name] + (n || 1))), time: (i) => keys[i * stride]};
  }
  function quatOf(angleAxis) { return rotationOf(angleAxis); }
  function bezier(a, b, c, d, u) { const v = 1 - u; return v * v * v * a + 3 * v * v * u * b + 3 * v * u * u * c + u * u * u * d; }
  // The value of a key block at t: an array (position, scale, float) or a quaternion.
  function evalBlock(part, t) {
    const r = keyReader(part);
    if (!r.count) return null;
    const block = part.block;
    const rotation = block === 36 || block === 40 || block === 44;
    const valueName = part.layout.some((f) => f[0] === 'value') ? 'value' : part.layout.some((f) => f[0] === 'scale') ? 'scale' : null;
    const width = valueName ? part.layout.find((f) => f[0] === valueName)[1] : 0;
    const values = [];
    let q = new THREE.Quaternion();
    for (let i = 0; i < r.count; ++i) {
      if (!rotation) { values.push(r.get(i, valueName, width)); continue; }
      if (block === 40) { q = q.clone().multiply(quatOf([r.get(i, 'angle')[0], ...r.get(i, 'axis', 3)])); values.push(q); }
      else values.push(quatOf(r.get(i, 'rotation', 4)));
    }
    let i = 0;
    while (i + 1 < r.count && r.time(i + 1) <= t) ++i;
    if (i + 1 >= r.count || t <= r.time(0)) return values[t <= r.time(0) ? 0 : r.count - 1];
    const t0 = r.time(i), t1 = r.time(i + 1);
    const s = t1 > t0 ? (t - t0) / (t1 - t0) : 0;
    if (rotation) return values[i].clone().slerp(values[i + 1], s);
    const a = values[i], b = values[i + 1];
    if (block === 35 || block === 38) {
      // Handles: x as a fraction of the segment, y as a value offset.
      const names = block === 38 ? ['Handle'] : ['HandleX', 'HandleZ', 'HandleY'];
      return a.map((va, j) => {
        const out = r.get(i, 'out' + names[j], 2), inn = r.get(i + 1, 'in' + names[j], 2);
        let lo = 0, hi = 1;
        for (let k = 0; k < 30; ++k) { const mid = (lo + hi) / 2; if (bezier(0, out[0], 1 + inn[0], 1, mid) < s) lo = mid; else hi = mid; }
        return bezier(va, va + out[1], b[j] + inn[1], b[j], (lo + hi) / 2);
      });
    }
    if (block === 39 || block === 41 || block === 42) {
      // Kochanek-Bartels tangents from the neighbouring keys.
      const tangent = (k, outgoing) => {
        const [tn, c, bias] = [r.get(k, 'tension')[0], r.get(k, 'continuity')[0], r.get(k, 'bias')[0]];
        const prev = values[Math.max(0, k - 1)], next = values[Math.min(r.count - 1, k + 1)], p = values[k];
        const fa = (1 - tn) * (outgoing ? (1 + c) : (1 - c)) * (1 + bias) / 2;
        const fb = (1 - tn) * (outgoing ? (1 - c) : (1 + c)) * (1 - bias) / 2;
        return p.map((v, j) => fa * (v - prev[j]) + fb * (next[j] - v));
      };
      const ta = tangent(i, true), tb = tangent(i + 1, false);
      const h1 = 2 * s * s * s - 3 * s * s + 1, h2 = -2 * s * s * s + 3 * s * s, h3 = s * s * s - 2 * s * s + s, h4 = s * s * s - s * s;
      return a.map((v, j) => h1 * v + h2 * b[j] + h3 * ta[j] + h4 * tb[j]);
    }
    return a.map((v, j) => v + (b[j] - v) * s);
  }
  // Sampled transforms hold each stored matrix until the next sample time.
  function sampledAt(sampled, t, values) {
    const times = F32(sampled.times), m = F32(sampled.matrices);
    const count = m.length / 12;
    if (!count) return null;
    let i = 0;
    while (i + 1 < Math.min(times.length, count) && times[i + 1] <= t + 1e-6) ++i;
    values.push('sample ' + i + ' of ' + count + (sampled.samplesRead ? '' : ' (stream not found)'));
    return matrixOf(Array.from(m.subarray(i * 12, i * 12 + 12)));
  }
  // The local matrix of a transform part at t, or null.
  function evalTransform(part, t, values) {
    const kids = part.parts || [];
    const sampled = kids.find((k) => k.id[0] === 7 && k.id[1] === 33);
    if (sampled) return sampledAt(sampled, t, values);
    let position = new THREE.Vector3(), rotation = new THREE.Quaternion(), scale = new THREE.Vector3(1, 1, 1);
    let any = false;
    for (const k of kids) {
      const block = (k.parts || []).find((b) => b.block);
      if (k.id[0] === 8 && k.id[1] === 31) {
        const axes = (k.parts || []).map((f) => { const b = (f.parts || []).find((x) => x.block); return b ? evalBlock(b, t) : null; });
        if (axes.length === 3 && axes.every(Boolean)) { position.set(axes[0][0], axes[2][0], axes[1][0]); any = true; }
      } else if (!block) {
        continue;
      } else if (k.id[0] === 8) {
        const v = evalBlock(block, t); if (v) { position.set(...v); any = true; }
      } else if (k.id[0] === 9) {
        const v = evalBlock(block, t); if (v && v.isQuaternion) { rotation.copy(v); any = true; }
      } else if (k.id[0] === 10) {
        const v = evalBlock(block, t); if (v) { scale.set(...v); any = true; }
      }
    }
    if (!any) return null;
    values.push('position ' + position.toArray().map((x) => x.toFixed(3)).join(' '));
    return new THREE.Matrix4().compose(position, rotation, scale);
  }
  function evalTrack(track, t) {
    const values = [];
    let matrix = null;
    for (const part of track.parts || []) {
      if (part.id[0] === 7 && part.id[1] === 33) matrix = sampledAt(part, t, values) || matrix;
      else if (part.id[0] === 7) matrix = evalTransform(part, t, values) || matrix;
      else if (part.id[0] === 12 && part.fields) values.push('IK chain ' + JSON.stringify(part.fields));
      else if (part.id[0] === 11) {
        const block = (part.parts || []).find((b) => b.block);
        const v = block ? evalBlock(block, t) : null;
        if (v) values.push(part.kind + ' ' + v[0].toFixed(3));
      }
    }
    return {matrix, text: values.join(', ')};
  }

  function buildTimeline() {
    if (!data.tracks.length) return;
    $('timeline').hidden = false;
    const range = data.range || [0, 0];
    let end = range[0] + range[1];
    for (const track of data.tracks) {
      const walk = (p) => { if (p.block) { const r = keyReader(p); if (r.count) end = Math.max(end, r.time(r.count - 1)); }
        if (p.times) { const ts = F32(p.times); if (ts.length) end = Math.max(end, ts[ts.length - 1]); }
        (p.parts || []).forEach(walk); };
      (track.parts || []).forEach(walk);
    }
    const slider = $('time');
    slider.min = range[0];
    slider.max = Math.max(end, range[0]);
    slider.step = 'any';
    slider.value = range[0];
    const table = $('track-values');
    const rows = data.tracks.map((track) => {
      const row = el('tr');
      row.appendChild(el('td', '', track.name));
      const value = el('td');
      row.appendChild(value);
      table.appendChild(row);
      return value;
    });
    // A track "NODE::PRS" moves the node NODE.
    const nodeOf = (track) => track.name.replace(/::[^:]*$/, '');
    const byName = new Map([...nodes].map(([h, n]) => [n.name, h]));
    for (const track of data.tracks) {
      const name = nodeOf(track);
      if (byName.has(name)) continue;
      const h = -1000 - byName.size;
      byName.set(name, h);
      nodes.set(h, {name: name, parent: -1, m: [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0], type: 'track', objects: []});
      hierarchy.appendChild(nodeItem(h, 0));
      if (view.addMarker) view.addMarker(h);
    }
    function show(t) {
      $('time-label').textContent = t.toFixed(3) + ' s';
      const pose = new Map();
      data.tracks.forEach((track, i) => {
        const r = evalTrack(track, t);
        rows[i].textContent = r.text;
        if (r.matrix) pose.set(nodeOf(track), r.matrix);
      });
      view.pose(pose);
      body.dataset.time = t.toFixed(3);
    }
    slider.addEventListener('input', () => show(Number(slider.value)));
    let playing = null;
    $('play').addEventListener('click', () => {
      if (playing) { cancelAnimationFrame(playing); playing = null; $('play').textContent = 'Play'; return; }
      $('play').textContent = 'Pause';
      let last = performance.now();
      const step = (now) => {
        let t = Number(slider.value) + (now - last) / 1000;
        last = now;
        if (t > Number(slider.max)) t = Number(slider.min);
        slider.value = t;
        show(t);
        playing = requestAnimationFrame(step);
      };
      playing = requestAnimationFrame(step);
    });
    show(range[0]);
  }

  // ---- controls ----
  const modeSelect = $('mode');
  const boneSelect = $('bone');
  for (const b of boneNames) boneSelect.appendChild(el('option', '', b));
  function recolour() {
    boneSelect.hidden = modeSelect.value !== 'skin';
    legend(modeSelect.value);
    if (view.recolour) view.recolour(modeSelect.value, boneSelect.value);
    body.dataset.mode = modeSelect.value;
  }
  modeSelect.addEventListener('change', recolour);
  boneSelect.addEventListener('change', recolour);
  $('edges').addEventListener('change', () => view.edges && view.edges($('edges').checked));

  try { build3D(); } catch (error) { fail('3D view', error); body.dataset.webgl = 'failed'; }
  const wanted = new URLSearchParams(location.search || '').get('mode') || (location.hash || '').replace('#', '');
  if ([...modeSelect.options].some((o) => o.value === wanted)) modeSelect.value = wanted;
  mark('built');
  try { recolour(); } catch (error) { fail('colours', error); }
  mark('coloured');
  try { buildTimeline(); } catch (error) { fail('timeline', error); }
  if (view.ready) view.ready();
  mark('drawn');
  timing.start = Math.round(timing.start);
  body.dataset.timing = JSON.stringify(timing);
  $('warning-count').textContent = String(warningList.children.length);
  body.dataset.readyMs = String(Math.round(performance.now()));
  body.dataset.ready = '1';
})();
)JS";

}  // namespace kiln::view
