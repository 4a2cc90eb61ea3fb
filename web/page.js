// The preview page: controls around the WebAssembly module (the plug-in in the simulated host).
// The KOV.ini file's bytes are the truth: the text shown, the controls and the file editor all work
// on them through the module (each line keeps its bytes until it is edited).
//
// After a change, at the next animation frame (however many changes came in since the last one),
// the page runs the plug-in on the bytes in a fresh module instance and paints the picture. After a
// change of the file or the screen, and once no newer change waits for a picture, a second fresh
// instance runs the plug-in through the scene that shows every setting: what the page tells the
// player it reads, and the check. Instances are made ahead, between runs.
//
// The pictures never take the chosen screen's own size: each canvas is as large as it shows, in
// device pixels, and the renderer draws the chosen screen's coordinates under a scale, so a redraw
// costs the same on every screen.
"use strict";

// Slider ranges: positions are in the plug-in's 1920 by 1080 screen units.
const SLIDERS = {
  LocTextPosX: [0, 1920, 1], LocTextPosY: [0, 1080, 1],
  LocTextPosX_RadarLrg: [0, 1920, 1], LocTextPosY_RadarLrg: [0, 1080, 1],
  LocTextSizeMult: [0.5, 3, 0.05],
};
const DEFAULT_SLIDER = [0, 2000, 1];
// The keys that place each panel the check may find off the screen (the findings' "offScreen").
const PANEL_KEYS = {
  radar: ["LocTextPosX", "LocTextPosY", "LocTextSizeMult"],
  bigMap: ["LocTextPosX_RadarLrg", "LocTextPosY_RadarLrg", "LocTextSizeMult"],
};
// The panel counts as moved against the radar when its gap differs by more than this many pixels
// (on a screen 1080 pixels high) from the gap on a 16:9 screen at a full safe zone.
const GAP_DRIFT = 20;
// The close-up shows the radar corner: the visible radar (or big map) and the texts whose top lies
// in the screen's lowest CORNER_SHARE, with a margin of CORNER_MARGIN of the screen's height. It is
// drawn at one device pixel per pixel of the chosen screen (the game's own size) or larger, up to
// CLOSE_UP_MAX_ZOOM when the whole corner fits its box; its canvas is at most CLOSE_UP_MAX_WIDTH
// device pixels wide, however far out the panel stands.
const CORNER_SHARE = 0.4;
const CORNER_MARGIN = 0.02;
const CLOSE_UP_CSS_HEIGHT = 300;
const CLOSE_UP_MAX_ZOOM = 4;
const CLOSE_UP_MAX_WIDTH = 4096;
// The whole screen's view: as wide as its column, at most this many CSS pixels high.
const SCREEN_VIEW_MAX_CSS_HEIGHT = 420;
// The check's list shows this many findings; a count stands for the rest.
const FINDINGS_SHOWN = 200;
// How long after a control's last edit the editor shows it (see showLineChange).
const EDITOR_FOLLOWS_MS = 300;

const $ = (id) => document.getElementById(id);

// ---- the module -----------------------------------------------------------------------------

let compiledModule = null;
let helper = null;  // an instance for the calls that do not run the plug-in

let worldBytes = null;  // the game's San Andreas, inflated once, handed to every instance

function moduleBytes() {
  const text = atob(KOV_MODULE);
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
  return bytes;
}

// The three texts of the location natives' map (sim/platform/emscripten/san_andreas_texts.cpp):
// the browser decodes and inflates them off the script's own work, while the module compiles.
async function inflateWorld() {
  const gzipped = await fetch("data:application/gzip;base64," + KOV_WORLD);
  return new Uint8Array(await new Response(gzipped.body.pipeThrough(new DecompressionStream("gzip"))).arrayBuffer());
}

// A new instance of the compiled module, for one run of the plug-in: an instance loads it once
// (sim/platform/emscripten/fresh_plugin.cpp).
function freshInstance() {
  return createKovModule({
    instantiateWasm(imports, receive) {
      receive(new WebAssembly.Instance(compiledModule, imports));
      return {};
    },
    kovWorld: worldBytes,
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
  });
}

// A spare instance for the next picture, with the map of San Andreas its picture draws already indexed.
function spareInstance() {
  return freshInstance().then((instance) => {
    call(instance, "kov_index_map", null);
    return instance;
  });
}

// ---- the map of San Andreas's roads ----------------------------------------------------------
// Drawn from the same texts the location natives read (roads, then links), the first time the map
// is opened; a click there runs the picture at that point ("at:X,Y", web/page_bridge.cpp).
const worldMap = { bounds: { minX: -4000, maxX: 5600, minY: -6000, maxY: 8200 }, drawn: false };

function worldTexts() {
  const texts = new TextDecoder().decode(worldBytes).split("\0");
  return { roads: texts[1], links: texts[2] };
}

function rowsOf(text) {
  return text.split("\n").filter((line) => line && !line.startsWith("#")).map((line) => line.split("\t"));
}

function mapScale(canvas) {
  const b = worldMap.bounds;
  return Math.min(canvas.width / (b.maxX - b.minX), canvas.height / (b.maxY - b.minY));
}

function drawWorldMap() {
  if (worldMap.drawn) return;
  worldMap.drawn = true;
  const canvas = $("world-map");
  const context = canvas.getContext("2d");
  const { roads, links } = worldTexts();
  const nodes = rowsOf(roads).map((r) => [Number(r[0]), Number(r[1]), r[4] || ""]);
  const b = worldMap.bounds, scale = mapScale(canvas);
  context.fillStyle = "#2b3531";
  context.fillRect(0, 0, canvas.width, canvas.height);
  context.lineWidth = 1;
  for (const [kind, colour] of [["B", "#6b6a5a"], ["", "#a9aba5"]]) {
    context.strokeStyle = colour;
    context.beginPath();
    for (const [a, z] of rowsOf(links)) {
      const from = nodes[Number(a)], to = nodes[Number(z)];
      if (from[2].includes("W") || to[2].includes("W")) continue;
      const back = from[2].includes("B") || to[2].includes("B");
      if (back !== (kind === "B")) continue;
      context.moveTo((from[0] - b.minX) * scale, (b.maxY - from[1]) * scale);
      context.lineTo((to[0] - b.minX) * scale, (b.maxY - to[1]) * scale);
    }
    context.stroke();
  }
}

function placeOnMap(event) {
  const canvas = $("world-map");
  const box = canvas.getBoundingClientRect();
  const b = worldMap.bounds, scale = mapScale(canvas);
  const x = b.minX + ((event.clientX - box.left) * canvas.width) / box.width / scale;
  const y = b.maxY - ((event.clientY - box.top) * canvas.height) / box.height / scale;
  page.scene = `at:${x.toFixed(1)},${y.toFixed(1)}`;
  const marker = $("map-marker");
  marker.style.left = ((event.clientX - box.left) / box.width) * 100 + "%";
  marker.style.top = ((event.clientY - box.top) / box.height) * 100 + "%";
  marker.hidden = false;
  $("map-spot").textContent = `The player stands at ${x.toFixed(0)}, ${y.toFixed(0)} (east, north): see the pictures.`;
  redraw();
}

const utf8 = new TextEncoder();

// Calls an exported function with numbers, strings and bytes; a string (as UTF-8) or a Uint8Array
// goes through the module's heap (not its small stack) as two arguments, pointer and length, so
// a NUL is a byte like any other and a long KOV.ini fits.
function call(instance, name, returns, ...args) {
  const owned = [];
  const values = args.flatMap((arg) => {
    if (typeof arg === "number") return [arg];
    const bytes = typeof arg === "string" ? utf8.encode(arg) : arg;
    const pointer = instance._malloc(Math.max(bytes.length, 1));
    instance.HEAPU8.set(bytes, pointer);
    owned.push(pointer);
    return [pointer, bytes.length];
  });
  try {
    const result = instance["_" + name](...values);
    return returns === "string" ? instance.UTF8ToString(result) : result;
  } finally {
    owned.forEach((pointer) => instance._free(pointer));
  }
}

// The file bytes the module's last edit produced.
function bytesOut(instance) {
  const pointer = instance._kov_bytes();
  return instance.HEAPU8.slice(pointer, pointer + instance._kov_bytes_size());
}

function callJson(instance, name, ...args) {
  return JSON.parse(call(instance, name, "string", ...args));
}

// ---- state ----------------------------------------------------------------------------------

const page = {
  tables: null,
  bytes: new Uint8Array(0),  // the file: what Save writes; null after a control's edit until asked for (fileBytes)
  lookupBytes: new Uint8Array(0),  // a file the lookup reads as it reads this one, often much shorter: what runs read
  text: "",            // the file's text (the editor shows it, a control's edit once the controls rest)
  editorTimer: null,   // the editor's catching up with a control's edit, while it waits
  encoding: "utf-8",
  opened: null,        // what opening the bytes told: encoding, its title, the line end new lines take
  unkept: [],          // lines edited in the text whose characters the file cannot keep as they are
  fileName: "KOV.ini",
  scene: "street",
  width: 1920,
  height: 1080,
  safeZone: 1,
  last: null,          // the last run's result
  views: { screen: null, closeUp: null },  // what each canvas shows (see paintView)
  claims: null,        // what the plug-in read and the check, from the every-setting run
  findings: [],        // the check of the file
  written: {},         // each setting's value as written in the file (null where absent)
  pictureStale: false, // the picture waits for a run
  claimsStale: true,   // the file or the screen changed since the last claims
  frameAsked: false,   // work waits for the next animation frame
  busy: false,         // a run or a check is going on
  spare: null,         // a fresh instance made ahead of the next run (a promise)
  edited: false,       // the player changed the file since it was opened, started afresh or saved
  measure: null,       // a canvas context of its own, where the check's run measures the texts
  timings: { loadMs: 0, pictures: [], claims: [], edits: [] },
};

// ---- failures -------------------------------------------------------------------------------

function showStatus(text, isError) {
  const status = $("status");
  status.textContent = text;
  status.classList.toggle("error", Boolean(isError));
}

function failed(what, error) {
  showStatus(what + ": " + (error && error.message ? error.message : String(error)), true);
  console.warn(what, error);
}

// An event handler whose failure (thrown, or a rejected promise) is said on the page.
function guarded(what, action) {
  return (...args) => {
    try {
      const result = action(...args);
      if (result && typeof result.catch === "function") result.catch((error) => failed(what, error));
    } catch (error) {
      failed(what, error);
    }
  };
}

// ---- runs -----------------------------------------------------------------------------------

// Asks for work at the next animation frame: a burst of input (a slider dragged, keys held) costs
// one run and one picture per frame, and runs never queue up behind each other.
function schedule() {
  if (page.frameAsked) return;
  page.frameAsked = true;
  requestAnimationFrame(() => {
    page.frameAsked = false;
    work().catch((error) => {
      // Nothing more is tried until the next change.
      page.pictureStale = page.claimsStale = false;
      failed("The plug-in run stopped", error);
    });
  });
}

function redraw() {
  page.pictureStale = true;
  schedule();
}

// The picture first; the check once no newer change waits for a picture (it runs after the
// browser has shown the picture, so a drag keeps moving).
async function work() {
  if (page.busy) return;
  page.busy = true;
  try {
    if (page.pictureStale) {
      page.pictureStale = false;
      await drawPicture();
    }
    if (page.claimsStale && !page.pictureStale) {
      await nextFrame();
      if (!page.pictureStale) await checkFile();
    }
  } finally {
    page.busy = false;
  }
  if (page.pictureStale || page.claimsStale) schedule();
}

function nextFrame() {
  return new Promise((resolve) => requestAnimationFrame(() => resolve()));
}

function takeSpare() {
  const instance = page.spare || spareInstance();
  page.spare = null;
  return instance;
}

async function drawPicture() {
  const started = performance.now();
  const instance = await takeSpare();
  const instantiated = performance.now();
  call(instance, "kov_run", null, page.lookupBytes, page.scene, page.width, page.height, page.safeZone);
  const result = JSON.parse(call(instance, "kov_run_result", "string"));
  const ran = performance.now();
  page.last = result;
  if (result.ok) {
    showPicture(result, instance);
  } else {
    showStatus("The plug-in run failed: " + result.error, true);
  }
  const finished = performance.now();
  page.timings.pictures.push({ instance: instantiated - started, run: ran - instantiated, paint: finished - ran,
                               total: finished - started, width: page.width, height: page.height });
  page.spare = spareInstance();  // the next run's instance, made while the player looks
}

function showPicture(result, instance) {
  const screen = $("screen");
  page.views.screen = screenView();
  paintView(instance, screen, page.views.screen);
  // Measured on the whole view's context: a text's size does not depend on the canvas.
  const boxes = callJson(instance, "kov_text_boxes", page.width, page.height);
  const before = page.views.closeUp;
  page.views.closeUp = closeUpView(result, boxes);
  paintView(instance, $("close-up"), page.views.closeUp);
  // The player's own scrolling stays while the view keeps its size.
  if (!before || before.w !== page.views.closeUp.w || before.zoom !== page.views.closeUp.zoom) {
    scrollCloseUp(result, boxes);
  }
  frameCloseUp();
  showStatus(page.width + " × " + page.height + ", safe zone " + page.safeZone.toFixed(2));
  showHint(result);
  showPositions(result.texts, boxes);
}

// A close-up wider than its box opens as far right as the panel reaches, but with the right edge of
// the radar (or the big map) never further left than a third of the box: the map the panel is
// placed against stays in view, and the panel's start beside it.
function scrollCloseUp(result, boxes) {
  const box = $("close-up-box"), view = page.views.closeUp, scale = view.zoom / devicePixelRatio;
  const wanted = cornerOf(result, boxes).right * scale - box.clientWidth;
  const mapRight = (result.map.left + result.map.width) * scale;
  box.scrollLeft = Math.max(0, Math.min(wanted, mapRight - box.clientWidth / 3));
}

// Every part of a text's drawn extent lies on the chosen screen.
function insideScreen(box) {
  return box.left >= 0 && box.top >= 0 && box.left + box.width <= page.width && box.top + box.height <= page.height;
}

// ---- the pictures ---------------------------------------------------------------------------

// Paints the last run's picture on a canvas. A view is the part of the chosen screen from (x, y),
// w by h screen pixels, at zoom canvas pixels (device pixels) per screen pixel.
function paintView(instance, canvas, view) {
  const width = Math.max(1, Math.round(view.w * view.zoom)), height = Math.max(1, Math.round(view.h * view.zoom));
  if (canvas.width !== width || canvas.height !== height) {
    canvas.width = width;
    canvas.height = height;
  }
  canvas.style.width = width / devicePixelRatio + "px";
  canvas.style.height = height / devicePixelRatio + "px";
  const context = canvas.getContext("2d");
  context.setTransform(view.zoom, 0, 0, view.zoom, -view.x * view.zoom, -view.y * view.zoom);
  instance.canvasContext = context;
  instance._kov_draw(page.width, page.height);
}

function screenView() {
  const cssWidth = Math.min($("close-up-box").clientWidth,
                           SCREEN_VIEW_MAX_CSS_HEIGHT * page.width / page.height);
  return { x: 0, y: 0, w: page.width, h: page.height, zoom: Math.max(1, Math.floor(cssWidth)) * devicePixelRatio / page.width };
}

// The radar corner in screen pixels: from the screen's left edge to the right end of the map and
// the texts beside it, and from the top of the highest of them down to the screen's bottom.
function cornerOf(result, boxes) {
  const margin = CORNER_MARGIN * page.height;
  let right = result.map.left + result.map.width, top = result.map.top;
  for (const box of boxes) {
    if (![box.left, box.top, box.width, box.height].every(Number.isFinite)) continue;
    if (box.top < page.height * (1 - CORNER_SHARE) || box.top >= page.height || box.left >= page.width) continue;
    right = Math.max(right, box.left + box.width);
    top = Math.min(top, box.top);
  }
  return { right: Math.min(page.width, right + margin), top: Math.max(0, top - margin) };
}

function closeUpView(result, boxes) {
  const corner = cornerOf(result, boxes);
  const boxWidth = $("close-up-box").clientWidth * devicePixelRatio, boxHeight = CLOSE_UP_CSS_HEIGHT * devicePixelRatio;
  const fits = Math.min(boxWidth / corner.right, boxHeight / (page.height - corner.top));
  const zoom = Math.min(CLOSE_UP_MAX_ZOOM, Math.max(1, fits));
  const w = Math.min(page.width, Math.max(boxWidth, Math.min(corner.right * zoom, CLOSE_UP_MAX_WIDTH)) / zoom);
  const h = Math.min(page.height, boxHeight / zoom);
  return { x: 0, y: page.height - h, w, h, zoom };
}

// The close-up's part of the screen, framed on the whole screen's view.
function frameCloseUp() {
  const close = page.views.closeUp, scale = page.views.screen.zoom / devicePixelRatio;
  Object.assign($("close-up-frame").style, {
    left: close.x * scale + "px", top: close.y * scale + "px",
    width: close.w * scale + "px", height: close.h * scale + "px",
  });
  $("close-up-frame").hidden = false;
}

// Where the panel stands against the radar (or the open big map) as the player sees it, compared
// with where the same settings put it on a 16:9 screen at a full safe zone, and what to do about it.
// Anchoring keeps the 16:9 place, so it helps only where that place is beside the map.
function showHint(result) {
  const hint = $("hint");
  const map = result.bigMap ? "big map" : "radar";
  let text = "";
  if (result.gap !== null && result.radarShown) {
    const drift = result.gapAt1080 - result.designedGap;
    const px = Math.round(Math.abs(result.gap));
    if (result.gap < 0) {
      text = "On this screen the panel starts " + px + " px left of the " + map + "'s right edge.";
    } else if (Math.abs(drift) > GAP_DRIFT) {
      text = "On this screen the panel stands " + Math.round(Math.abs(drift)) + " px (in 1080-line pixels) " +
        (drift > 0 ? "further away from" : "closer to") + " the " + map +
        " than the same settings put it on a 16:9 screen at a full safe zone.";
    }
  }
  hint.hidden = text === "";
  if (text === "") return;
  const key = result.bigMap ? "LocTextPosX_RadarLrg" : "LocTextPosX";
  const move = result.settings.AnchorToRadar || result.designedGap < 0;
  hint.replaceChildren(text + (move
    ? " Move it" + (result.gap < 0 ? " right" : "") + " with " + key + "."
    : " Switch AnchorToRadar on (a [GENERAL] setting): the panel then keeps its place beside the " + map +
      " on every screen shape and safe zone, as the game's own HUD does. "));
  if (!move) {
    const button = document.createElement("button");
    button.type = "button";
    button.id = "anchor-on";
    button.textContent = "Switch AnchorToRadar on";
    button.addEventListener("click", guarded("Switching AnchorToRadar on failed",
      () => setKey(page.tables.keys.find((k) => k.key === "AnchorToRadar"), "true")));
    hint.appendChild(button);
  }
}

// A readable text (colour codes as <yellow>...</yellow>, kov-sim's form) in the colours the game
// gives them, from the host's table of inline colours.
function colouredText(cell, text) {
  const colours = new Map(page.tables.colours.map((c) => [c.tag, c.rgb]));
  const tags = new RegExp("<(/?)(" + [...colours.keys()].join("|") + ")>", "g");
  let at = 0, span = null;
  const put = (piece) => {
    if (!piece) return;
    (span || cell).appendChild(document.createTextNode(piece));
  };
  for (const match of text.matchAll(tags)) {
    put(text.slice(at, match.index));
    if (match[1] === "/") {
      span = null;
    } else {
      span = document.createElement("span");
      span.style.color = "rgb(" + colours.get(match[2]).join(",") + ")";
      cell.appendChild(span);
    }
    at = match.index + match[0].length;
  }
  put(text.slice(at));
}

function offScreenMark(cell) {
  const off = document.createElement("strong");
  off.className = "off-screen";
  off.textContent = " off the screen";
  cell.appendChild(off);
}

// The texts' places, each marked off the screen when any part of what is drawn leaves it (boxes:
// the drawn extents, in the same order).
function showPositions(texts, boxes) {
  const body = $("positions").tBodies[0];
  body.replaceChildren();
  for (const [i, t] of texts.entries()) {
    const row = body.insertRow();
    if (t.far !== null) {
      const where = row.insertCell();
      where.colSpan = 2;
      where.textContent = t.far;
    } else {
      row.insertCell().textContent = t.x;
      row.insertCell().textContent = t.y;
    }
    const cell = row.insertCell();
    colouredText(cell, t.text);
    if (t.centred) cell.appendChild(document.createTextNode(" (centred)"));
    if (t.far !== null || !insideScreen(boxes[i])) offScreenMark(cell);
  }
  if (texts.length === 0) body.insertRow().insertCell().textContent = "The plug-in draws no text in this scene.";
}

// ---- KOV.ini file and the check -------------------------------------------------------------

// The file's bytes, fetched from the module's held file when a control's edit left them to it.
function fileBytes() {
  if (page.bytes === null) {
    helper._kov_held_bytes();
    page.bytes = bytesOut(helper);
  }
  return page.bytes;
}

// The file's bytes changed (null: a control's edit, held by the module). Bytes from outside (a file
// opened, the defaults) are opened by the module, which holds them for the edits that follow, and
// the editor shows their text; an edit (the editor's or a control's) has already shown its text.
function setBytes(bytes, fromOutside) {
  page.bytes = bytes;
  page.edited = !fromOutside;
  if (fromOutside) {
    page.opened = callJson(helper, "kov_open", bytes);
    page.encoding = page.opened.encoding;
    showEditorText(page.opened.text);
    page.unkept = [];
    showFileInfo();
  }
  helper._kov_lookup_bytes();
  page.lookupBytes = bytesOut(helper);
  page.written = callJson(helper, "kov_written", page.lookupBytes);
  showControls();
  page.claimsStale = true;
  redraw();
}

// The editor shows the text: only the lines that differ from what it shows are replaced.
function showEditorText(text) {
  page.text = text;
  catchUpEditor();
}

// The editor shows page.text, replacing only the part that differs from what it shows.
function catchUpEditor() {
  clearTimeout(page.editorTimer);
  page.editorTimer = null;
  const editor = $("ini-text"), old = editor.value, text = page.text;
  let start = 0;
  const shorter = Math.min(old.length, text.length);
  while (start < shorter && old.charCodeAt(start) === text.charCodeAt(start)) ++start;
  let end = 0;
  while (end < shorter - start && old.charCodeAt(old.length - 1 - end) === text.charCodeAt(text.length - 1 - end)) ++end;
  if (start === old.length && start === text.length) return;
  editor.setRangeText(text.slice(start, text.length - end), start, old.length - end, "preserve");
}

// A control's edit: from line change.first (0-based), change.removed lines became change.lines.
// The editor follows once the controls rest, not at every step of a drag: a browser lays a text out
// again whole when any of it changes (100 to 280 ms for a 1 MB file), which would stop the drag. It
// catches up at once when the player goes to type in it.
function showLineChange(change) {
  const start = lineStart(page.text, change.first + 1);
  const afterLast = lineStart(page.text, change.first + change.removed + 1);
  const throughLast = afterLast === null;  // the change reaches the text's last line
  const end = throughLast ? page.text.length : afterLast;
  page.text = page.text.slice(0, start) + change.lines.join("\n") + (throughLast ? "" : "\n") + page.text.slice(end);
  clearTimeout(page.editorTimer);
  page.editorTimer = setTimeout(catchUpEditor, EDITOR_FOLLOWS_MS);
}

// An edit in the editor, applied to the held file line by line.
function editText(text) {
  const started = performance.now();
  page.text = text;
  const edit = callJson(helper, "kov_apply_text", text);
  page.unkept = edit.unkept;
  showFileInfo();
  setBytes(bytesOut(helper), false);
  $("save-note").hidden = true;
  page.timings.edits.push(performance.now() - started);
}

// What the plug-in reads and the check, from a run of it in a fresh instance on the chosen screen.
async function checkFile() {
  page.claimsStale = false;
  const started = performance.now();
  const instance = await freshInstance();
  if (page.measure === null) page.measure = document.createElement("canvas").getContext("2d");
  instance.canvasContext = page.measure;
  call(instance, "kov_claims", null, fileBytes(), page.lookupBytes, page.width, page.height, page.safeZone);
  const claims = JSON.parse(call(instance, "kov_run_result", "string"));
  if (!claims.ok) {
    showStatus("The plug-in run for the check failed: " + claims.error, true);
    return;
  }
  page.claims = claims;
  showFindings(claims.findings);
  showControls();
  showSettingsRead(claims);
  page.timings.claims.push(performance.now() - started);
}

// Where line `line` (1-based) of a text starts; null past its last line.
function lineStart(text, line) {
  let at = 0;
  for (let i = 1; i < line; ++i) {
    const next = text.indexOf("\n", at);
    if (next < 0) return null;
    at = next + 1;
  }
  return at;
}

function findingItem(f) {
  const item = document.createElement("li");
  item.dataset.key = f.key;
  if (f.note) item.className = "note";
  if (f.line === 0) {
    item.append((f.note ? "Note: " : "") + f.message);
    return item;
  }
  const go = document.createElement("button");
  go.type = "button";
  go.textContent = "Line " + f.line;
  go.title = "Show line " + f.line + " in the text";
  go.addEventListener("click", () => {
    const editor = $("ini-text");
    const start = lineStart(page.text, f.line) ?? page.text.length;
    const end = page.text.indexOf("\n", start);
    editor.focus();
    editor.setSelectionRange(start, end < 0 ? page.text.length : end);
  });
  item.append(go, (f.note ? ": note: " : ": ") + f.message);
  return item;
}

function showFindings(findings) {
  page.findings = findings;
  const mistakes = findings.filter((f) => !f.note).length;
  const summary = $("check-summary");
  summary.textContent = mistakes === 0 ? "The check finds no mistakes in KOV.ini."
    : mistakes + (mistakes === 1 ? " mistake" : " mistakes") + " in KOV.ini: see the check under the file.";
  summary.classList.toggle("warn", mistakes > 0);
  const list = $("findings");
  const items = findings.slice(0, FINDINGS_SHOWN).map(findingItem);
  if (mistakes === 0) {
    const ok = document.createElement("li");
    ok.className = "ok";
    ok.textContent = "No mistakes: the plug-in reads this file as written.";
    items.unshift(ok);
  }
  if (findings.length > FINDINGS_SHOWN) {
    const more = document.createElement("li");
    more.textContent = "… and " + (findings.length - FINDINGS_SHOWN) + " more findings of the same check.";
    items.push(more);
  }
  list.replaceChildren(...items);
}

// ---- controls -------------------------------------------------------------------------------

function controlId(key) {
  return "key-" + key.key;
}

function buildSettings() {
  const box = $("settings");
  const sections = [...new Set(page.tables.keys.map((key) => key.section))];
  for (const section of sections) {
    const heading = document.createElement("p");
    heading.className = "section-name";
    heading.textContent = "[" + section + "]";
    box.appendChild(heading);
    for (const key of page.tables.keys.filter((k) => k.section === section)) {
      const control = { number: numberControl, key: keyNameControl, switch: switchControl }[key.kind];
      box.appendChild(key.changesNothing ? keptRow(key) : control(key));
    }
  }
}

// A setting's row: its name with its controls on the same line (the last control is the one the
// name labels), under them what it does in the game, then what the plug-in reads and what the
// check says of it; that control's description points to both.
function settingRow(key, className, ...controls) {
  const row = document.createElement("div");
  row.className = className;
  const label = document.createElement(controls.length > 0 ? "label" : "span");
  label.className = "name";
  // Long names may break after an underscore or between the words run together (Show|Player|
  // Obituaries), never inside a word: a name that does not fit beside its control wraps.
  key.key.split(/(?<=_)|(?<=[a-z])(?=[A-Z])/).forEach((part, i) => label.append(...(i > 0 ? [document.createElement("wbr")] : []), part));
  const about = document.createElement("p");
  about.className = "description";
  about.id = controlId(key) + "-about";
  about.textContent = key.description;
  const reads = document.createElement("p");
  reads.className = "reads";
  reads.id = controlId(key) + "-reads";
  if (controls.length > 0) {
    label.htmlFor = controlId(key);
    controls[controls.length - 1].setAttribute("aria-describedby", about.id + " " + reads.id);
  }
  row.append(label, ...controls, about, reads);
  return row;
}

function numberControl(key) {
  const [low, high, step] = SLIDERS[key.key] || DEFAULT_SLIDER;
  const slider = document.createElement("input");
  Object.assign(slider, { type: "range", min: low, max: high, step, id: controlId(key) + "-slider" });
  slider.setAttribute("aria-label", key.key + " slider");
  // A text field: it keeps what the file says even where that is no plain number ("320px").
  const field = document.createElement("input");
  Object.assign(field, { type: "text", inputMode: "decimal", spellcheck: false, id: controlId(key) });
  slider.addEventListener("input", guarded("Setting " + key.key + " failed", () => {
    field.value = slider.value;
    setKey(key, slider.value);
  }));
  // Applied when the player commits it (Enter, or leaving the field), not at every key typed.
  field.addEventListener("change", guarded("Setting " + key.key + " failed", () => setKey(key, field.value)));
  return settingRow(key, "setting", slider, field);
}

function switchControl(key) {
  const box = document.createElement("input");
  Object.assign(box, { type: "checkbox", id: controlId(key) });
  box.addEventListener("change", guarded("Setting " + key.key + " failed", () => setKey(key, box.checked ? "true" : "false")));
  return settingRow(key, "setting switch", box);
}

// A key name: one letter or digit, as the file says it.
function keyNameControl(key) {
  const field = document.createElement("input");
  Object.assign(field, { type: "text", maxLength: 1, spellcheck: false, id: controlId(key) });
  field.addEventListener("change", guarded("Setting " + key.key + " failed", () => setKey(key, field.value)));
  return settingRow(key, "setting key-name", field);
}

// A setting kept in the file for older set-ups that changes nothing: no control, only what it is.
function keptRow(key) {
  const kept = document.createElement("span");
  kept.className = "kept-note";
  kept.textContent = "kept for compatibility: no control, it changes nothing";
  return settingRow(key, "setting kept", kept);
}

// Writes exactly the value the player chose; what the plug-in makes of it shows under the field.
function setKey(key, value) {
  const started = performance.now();
  const change = callJson(helper, "kov_set_value", key.section, key.key, String(value));
  showLineChange(change);
  if (change.unkept.length > 0) {
    page.unkept = change.unkept;
    showFileInfo();
  }
  setBytes(null, false);
  $("save-note").hidden = true;
  page.timings.edits.push(performance.now() - started);
}

// A number field shows what the file says, as written; its slider and a switch's box show what
// the plug-in reads (the file's own value until the check's run says).
function showControls() {
  const read = page.claims ? page.claims.settings : {};
  for (const key of page.tables.keys) {
    const control = $(controlId(key));
    if (control === null) continue;
    const written = page.written[key.key];
    if (key.kind === "number") {
      if (document.activeElement !== control) control.value = written === null ? key.fallback : written;
      const slider = $(controlId(key) + "-slider");
      const value = key.key in read ? read[key.key] : Number(control.value);
      if (document.activeElement !== slider) slider.value = value === null || Number.isNaN(value) ? slider.max : value;
    } else if (key.kind === "key") {
      if (document.activeElement !== control) control.value = written === null ? key.fallback : written;
    } else if (document.activeElement !== control && key.key in read) {
      control.checked = Boolean(read[key.key]);
    }
  }
}

// Under each setting: what the plug-in reads, and what the check says of that setting.
function showSettingsRead(claims) {
  const said = new Map();
  for (const f of claims.findings) {
    // A panel off the screen is said under each key that places it: its position and its size.
    for (const name of f.offScreen ? PANEL_KEYS[f.offScreen] : [f.key]) {
      if (!said.has(name.toLowerCase())) said.set(name.toLowerCase(), []);
      said.get(name.toLowerCase()).push(f);
    }
  }
  for (const key of page.tables.keys) {
    const reads = $(controlId(key) + "-reads");
    const absent = page.written[key.key] === null;
    const kept = key.changesNothing ? " (it changes nothing)" : "";
    reads.replaceChildren("The plug-in reads: " + claims.read[key.key].shown + kept +
      (absent ? " (not in the file: the default)" : "") + ".");
    // A finding about a line the plug-in passes over stays with that line, in the check under the file.
    const findings = (said.get(key.key.toLowerCase()) || []).filter((f) => !f.passedOver);
    for (const f of findings) {
      const span = document.createElement("span");
      span.className = f.note ? "said note" : "said";
      span.textContent = " " + f.message;
      reads.appendChild(span);
    }
    reads.classList.toggle("differs", findings.some((f) => !f.note));
  }
}

function buildSelect(select, options, selected) {
  for (const [value, text] of options) {
    const option = document.createElement("option");
    option.value = value;
    option.textContent = text;
    option.selected = value === selected;
    select.appendChild(option);
  }
}

// The check of the panel's place is for the chosen screen: a new screen asks for it again.
function screenChanged() {
  page.claimsStale = true;
  redraw();
}

// A custom size takes effect only within the limits every tool takes; outside them the fields say
// so and the picture keeps the last size.
function customSizeTyped() {
  const limits = page.tables.limits;
  const sides = [["screen-width", "Width", limits.minWidth], ["screen-height", "Height", limits.minHeight]];
  const wrong = [];
  const values = sides.map(([id, name, low]) => {
    const text = $(id).value.trim();
    const value = /^[0-9]+$/.test(text) ? Number(text) : NaN;
    const ok = value >= low && value <= limits.maxSide;
    $(id).setAttribute("aria-invalid", String(!ok));
    if (!ok) wrong.push(name + " " + (text === "" ? "is empty" : "\"" + text + "\" is not") + " a whole number of pixels from " + low + " to " + limits.maxSide);
    return value;
  });
  const note = $("custom-size-note");
  note.classList.toggle("invalid", wrong.length > 0);
  if (wrong.length > 0) {
    note.textContent = wrong.join("; ") + ". The picture keeps " + page.width + " × " + page.height + ".";
    return;
  }
  note.textContent = "";
  [page.width, page.height] = values;
  screenChanged();
}

function buildScreenControls() {
  const limits = page.tables.limits;
  const sizes = page.tables.screens.map(([w, h]) => [w + "x" + h, w + " × " + h]);
  sizes.push(["custom", "Another size…"]);
  buildSelect($("screen-size"), sizes, "1920x1080");
  $("screen-size").addEventListener("change", guarded("Choosing the screen failed", () => {
    const value = $("screen-size").value;
    $("custom-size").hidden = value !== "custom";
    if (value !== "custom") {
      [page.width, page.height] = value.split("x").map(Number);
      $("screen-width").value = page.width;
      $("screen-height").value = page.height;
      customSizeTyped();
    }
  }));
  const zone = $("safe-zone"), zoneSlider = $("safe-zone-slider");
  Object.assign(zoneSlider, { min: limits.minSafeZone, max: limits.maxSafeZone });
  // A value the field cannot take is marked and said beside it; the picture keeps the last one.
  const setZone = (value, from) => {
    const text = String(value).trim();
    const number = /^[0-9]*[.,]?[0-9]+$/.test(text) ? Number(text.replace(",", ".")) : NaN;
    const ok = number >= limits.minSafeZone && number <= limits.maxSafeZone;
    zone.setAttribute("aria-invalid", String(!ok));
    $("safe-zone-refused").hidden = ok;
    if (!ok) {
      $("safe-zone-refused").textContent = (text === "" ? "The safe zone size is empty" : "\"" + text + "\" is not a safe zone size") +
        ": it takes a number from " + limits.minSafeZone.toFixed(2) + " to " + limits.maxSafeZone.toFixed(2) +
        ". The picture keeps " + page.safeZone.toFixed(2) + ".";
      return;
    }
    page.safeZone = number;
    if (from !== zone) zone.value = number.toFixed(2);
    if (from !== zoneSlider) zoneSlider.value = number;
    screenChanged();
  };
  zone.addEventListener("change", guarded("Setting the safe zone failed", () => setZone(zone.value, zone)));
  zoneSlider.addEventListener("input", guarded("Setting the safe zone failed", () => setZone(zoneSlider.value, zoneSlider)));
  // A size is taken when the player commits it: 99999 is not tried as 9999 on the way.
  for (const id of ["screen-width", "screen-height"]) $(id).addEventListener("change", guarded("Setting the size failed", customSizeTyped));
}

// ---- the file -------------------------------------------------------------------------------

function showFileInfo() {
  const info = $("file-info");
  if (page.opened.notText) {
    info.textContent = page.fileName + " is not a text file the game can read (" + page.opened.notText + ").";
    info.classList.add("warn");
    return;
  }
  const lineEnds = page.opened.empty ? ", empty: the lines you add end in " + page.opened.lineEnd
    : ", lines ending in " + page.opened.lineEnd;
  info.textContent = page.fileName + ": " + page.opened.title + lineEnds +
    ". Saved the same way: every line you did not edit keeps its bytes.";
  info.classList.toggle("warn", page.unkept.length > 0);
  if (page.unkept.length > 0) {
    info.append(" " + (page.unkept.length === 1 ? "Line " + page.unkept[0] + " holds" : "Lines " + page.unkept.join(", ") + " hold") +
      " characters a file in " + page.opened.title + " cannot keep: Save writes them as ? (or keeps the " +
      "replacement character \uFFFD for bytes that were no text).");
  }
}

// True when there are no unsaved edits, or the player agrees to drop them for what comes next.
function mayDropEdits(what) {
  return !page.edited || confirm("Your edits to " + page.fileName + " are not saved. " + what +
    " and drop them? (Cancel keeps them: Save KOV.ini first to keep them in a file.)");
}

// Reads a file the player chose or dropped, saying how far it is; a large one takes a moment.
async function openFile(file) {
  const progress = $("progress");
  // Said under the buttons and above the picture, wherever the player looks.
  const say = (text) => {
    progress.textContent = text;
    showStatus(text);
  };
  const size = file.size >= 1e6 ? (file.size / 1e6).toFixed(1) + " MB" : Math.ceil(file.size / 1e3) + " kB";
  progress.hidden = false;
  say("Reading " + file.name + " (" + size + ")…");
  try {
    const bytes = await readWithProgress(file, (done) => say("Reading " + file.name + " (" + size + "): " +
                                                             Math.floor(100 * done) + " %…"));
    say("Opening " + file.name + " (" + size + ") and running the plug-in on it…");
    await nextFrame();
    await nextFrame();
    page.fileName = file.name;
    setBytes(bytes, true);
    await settled();
  } finally {
    progress.hidden = true;
  }
}

function readWithProgress(file, progressed) {
  return new Promise((resolve, reject) => {
    const reader = new FileReader();
    reader.onprogress = (event) => { if (event.lengthComputable && event.total > 0) progressed(event.loaded / event.total); };
    reader.onload = () => resolve(new Uint8Array(reader.result));
    reader.onerror = () => reject(reader.error);
    reader.readAsArrayBuffer(file);
  });
}

// A file dropped anywhere on the page opens (instead of the browser leaving the page for it).
function takeDrops() {
  const hasFiles = (event) => event.dataTransfer && [...event.dataTransfer.types].includes("Files");
  addEventListener("dragover", (event) => {
    if (!hasFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = "copy";
  });
  addEventListener("drop", guarded("Opening the dropped file failed", async (event) => {
    if (!hasFiles(event)) return;
    event.preventDefault();
    const file = event.dataTransfer.files[0];
    if (file && mayDropEdits("Open " + file.name)) await openFile(file);
  }));
}

function saveFile() {
  const url = URL.createObjectURL(new Blob([fileBytes()], { type: "application/octet-stream" }));
  const link = document.createElement("a");
  link.href = url;
  link.download = "KOV.ini";
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
  page.edited = false;
  const note = $("save-note");
  note.textContent = "KOV.ini went to your browser's downloads folder (the browser may have named it " +
    "\"KOV (1).ini\" or the like, if a KOV.ini was there already: rename it KOV.ini). Put it in the " +
    "game's folder, next to KOV.asi, in place of the old KOV.ini; the plug-in reads it when the game " +
    "starts or when you switch the panel off and on with Ctrl+Alt+L.";
  note.hidden = false;
}

function useDefaults() {
  page.fileName = "KOV.ini (the shipped defaults)";
  setBytes(utf8.encode(KOV_DEFAULT_INI), true);
}

// ---- start ----------------------------------------------------------------------------------

// The stand-in faces the pictures use (embedded in the page's style), loaded before the first picture.
function loadFonts() {
  const faces = ['"DejaVu Sans Condensed"', '"DejaVu Sans"'];
  return Promise.all(faces.flatMap((face) => ["16px " + face, "bold 16px " + face].map((font) => document.fonts.load(font))));
}

function showVersion() {
  $("version").textContent = "Plug-in " + page.tables.version + ": the pictures come from the very code of KOV.asi " +
    page.tables.version + ", compiled for the browser.";
}

async function start() {
  showStatus("Starting the plug-in…");
  const fonts = loadFonts();
  const world = inflateWorld();
  compiledModule = await WebAssembly.compile(moduleBytes());
  await fonts;
  worldBytes = await world;
  helper = await freshInstance();
  page.tables = callJson(helper, "kov_tables");
  showVersion();
  buildSelect($("scene"), page.tables.scenes.map((s) => [s.name, s.title]), page.scene);
  $("scene").addEventListener("change", guarded("Choosing the scene failed", () => {
    page.scene = $("scene").value;
    redraw();
  }));
  $("map-area").addEventListener("toggle", guarded("Drawing the map failed", () => {
    if ($("map-area").open) drawWorldMap();
  }));
  $("world-map").addEventListener("click", guarded("Placing the player failed", placeOnMap));
  buildScreenControls();
  buildSettings();
  $("ini-text").addEventListener("focus", catchUpEditor);
  $("ini-text").addEventListener("input", guarded("Applying the text failed", () => editText($("ini-text").value)));
  $("open-file").addEventListener("change", guarded("Opening the file failed", async () => {
    const file = $("open-file").files[0];
    $("open-file").value = "";
    if (file) await openFile(file);
  }));
  $("open-button").addEventListener("click", () => { if (mayDropEdits("Open another file")) $("open-file").click(); });
  $("save-file").addEventListener("click", guarded("Saving the file failed", saveFile));
  $("use-defaults").addEventListener("click", guarded("Starting from the defaults failed", () => {
    if (mayDropEdits("Start again from the defaults")) useDefaults();
  }));
  takeDrops();
  // A reload, Back or closing the tab asks first while there are unsaved edits.
  addEventListener("beforeunload", (event) => {
    if (!page.edited) return;
    event.preventDefault();
    event.returnValue = "";
  });
  addEventListener("resize", () => { if (page.last && page.last.ok) redraw(); });
  // On a narrow window the picture stays at the top (page.css): what the keyboard brings into view
  // comes below it, not under it.
  new ResizeObserver(() => {
    const area = $("picture-area");
    document.documentElement.style.scrollPaddingTop =
      getComputedStyle(area).position === "sticky" ? area.offsetHeight + "px" : "";
  }).observe($("picture-area"));
  useDefaults();
  await settled();
  page.timings.loadMs = performance.now();
  document.body.dataset.ready = "true";
}

// Resolves once no run or check is going on or asked for.
function settled() {
  return new Promise((resolve) => {
    const poll = () => (page.frameAsked || page.busy || page.pictureStale || page.claimsStale ? setTimeout(poll, 1) : resolve());
    poll();
  });
}

// What the browser tests read and wait on (tests/browser); nothing else of the page is reached
// from outside it.
//   settled()    a promise: no run or check going on or asked for
//   lastRun()    the last run's result (see kov_run in web/page_bridge.cpp)
//   text()       the file's text as the editor shows it; fileName(), encoding()
//   findings()   the check's findings [{line, key, message, note}]
//   views()      what each canvas shows: {screen, closeUp}, each {x, y, w, h, zoom}: the part of the
//                chosen screen from (x, y), w by h screen pixels, at zoom device pixels per pixel
//   takeTimings() the load time and the times of every picture, check and edit since the last call
window.kovTestHooks = Object.freeze({
  settled,
  lastRun: () => page.last,
  text: () => page.text,
  fileName: () => page.fileName,
  encoding: () => page.encoding,
  findings: () => page.findings,
  views: () => page.views,
  takeTimings() {
    const { pictures, claims, edits } = page.timings;
    page.timings = { loadMs: page.timings.loadMs, pictures: [], claims: [], edits: [] };
    return { loadMs: page.timings.loadMs, pictures, claims, edits };
  },
});

start().catch((error) => {
  page.busy = false;
  failed("The page could not start", error);
});
