// The preview page: controls around the WebAssembly module (the plug-in in the simulated host).
// The KOV.ini text is what every control edits; at the next animation frame after a change (however
// many came in since the last one) the page checks it, runs the plug-in on it in a fresh module
// instance and redraws.
"use strict";

// Slider ranges: positions are in the plug-in's 1920 by 1080 screen units.
const SLIDERS = {
  LocTextPosX: [0, 1920, 1], LocTextPosY: [0, 1080, 1],
  LocTextPosX_RadarLrg: [0, 1920, 1], LocTextPosY_RadarLrg: [0, 1080, 1],
  LocTextSizeMult: [0.5, 3, 0.05],
};
const DEFAULT_SLIDER = [0, 2000, 1];
// The panel counts as moved against the radar when its gap differs by more than this many pixels
// (on a screen 1080 pixels high) from the gap on a 16:9 screen at a full safe zone.
const GAP_DRIFT = 20;
// The share of the screen the close-up shows, from the lower left corner.
const CLOSE_UP = { w: 0.42, h: 0.3 };

const $ = (id) => document.getElementById(id);

// ---- the module -----------------------------------------------------------------------------

let compiledModule = null;
let helper = null;  // an instance for the calls that do not run the plug-in

function moduleBytes() {
  const text = atob(KOV_MODULE);
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
  return bytes;
}

// A fresh instance of the compiled module: its memory, and so the plug-in's process-wide records,
// start at load-time state.
function freshInstance() {
  return createKovModule({
    instantiateWasm(imports, receive) {
      receive(new WebAssembly.Instance(compiledModule, imports));
      return {};
    },
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
  });
}

// Calls an exported function with strings and numbers; strings go through the module's heap
// (not its small stack), so a long KOV.ini fits.
function call(instance, name, returns, ...args) {
  const owned = [];
  const values = args.map((arg) => {
    if (typeof arg !== "string") return arg;
    const size = instance.lengthBytesUTF8(arg) + 1;
    const pointer = instance._malloc(size);
    instance.stringToUTF8(arg, pointer, size);
    owned.push(pointer);
    return pointer;
  });
  try {
    const result = instance["_" + name](...values);
    return returns === "string" ? instance.UTF8ToString(result) : result;
  } finally {
    owned.forEach((pointer) => instance._free(pointer));
  }
}

function callJson(instance, name, ...args) {
  return JSON.parse(call(instance, name, "string", ...args));
}

// ---- state ----------------------------------------------------------------------------------

const page = {
  tables: null,
  text: "",
  encoding: "utf-8",
  fileName: "KOV.ini",
  scene: "street",
  width: 1920,
  height: 1080,
  safeZone: 1,
  last: null,          // the last run's result
  findings: [],        // the check of the text
  findingKeys: new Set(),
  written: {},         // each setting's value as written in the text (null where absent)
  loadMs: 0,
  redrawMs: [],        // every redraw's time, for the test's report
  redrawParts: [],     // and its parts: a fresh instance, the plug-in's run, the picture and lists
  textChanged: false,  // the text changed since the last check
  frameAsked: false,   // a redraw waits for the next animation frame
  running: false,
  again: false,
  spare: null,         // a fresh instance made ahead of the next redraw (a promise)
  paintCache: {},      // what the painter keeps from one picture for the next
};
window.kovPage = page;

// ---- redraw ---------------------------------------------------------------------------------

// Asks for a redraw at the next animation frame: a burst of input (a slider dragged, keys held)
// costs one check and one redraw per frame, and redraws never queue up behind each other.
function redraw() {
  if (page.frameAsked) return;
  page.frameAsked = true;
  requestAnimationFrame(() => {
    page.frameAsked = false;
    if (page.textChanged) checkText();
    redrawNow();
  });
}

async function redrawNow() {
  if (page.running) {
    page.again = true;
    return;
  }
  page.running = true;
  try {
    do {
      page.again = false;
      const started = performance.now();
      const instance = await (page.spare || freshInstance());
      page.spare = null;
      const instantiated = performance.now();
      call(instance, "kov_run", null, page.text, page.encoding, page.scene, page.width, page.height, page.safeZone);
      const result = JSON.parse(call(instance, "kov_run_result", "string"));
      const ran = performance.now();
      page.last = result;
      showResult(result, instance);
      const finished = performance.now();
      page.redrawMs.push(finished - started);
      page.redrawParts.push({ instance: instantiated - started, run: ran - instantiated, show: finished - ran });
    } while (page.again);
    // The next redraw's instance is made now, between redraws, rather than while the player waits.
    page.spare = freshInstance();
  } catch (error) {
    showStatus("The plug-in run stopped: " + error, true);
    throw error;
  } finally {
    page.running = false;
  }
}

function showStatus(text, isError) {
  const status = $("status");
  status.textContent = text;
  status.classList.toggle("error", Boolean(isError));
}

function showResult(result, instance) {
  const canvas = $("screen");
  if (canvas.width !== page.width || canvas.height !== page.height) {
    canvas.width = page.width;
    canvas.height = page.height;
  }
  if (!result.ok) {
    showStatus("The plug-in run failed: " + result.error, true);
    return;
  }
  instance.canvasContext = canvas.getContext("2d");
  instance.paintCache = page.paintCache;
  instance._kov_draw(page.width, page.height);
  showCloseUp();
  showStatus(page.width + " × " + page.height + ", safe zone " + page.safeZone.toFixed(2));
  showHint(result);
  showPositions(result.texts);
  showSettingsRead(result.settings);
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
    button.addEventListener("click", () => setKey(page.tables.keys.find((k) => k.key === "AnchorToRadar"), "true"));
    hint.appendChild(button);
  }
}

// The lower left corner of the screen, where the radar and the panel are, enlarged.
function showCloseUp() {
  const screen = $("screen"), close = $("close-up");
  const w = Math.round(page.width * CLOSE_UP.w), h = Math.round(page.height * CLOSE_UP.h);
  if (close.width !== w || close.height !== h) {
    close.width = w;
    close.height = h;
  }
  close.getContext("2d").drawImage(screen, 0, page.height - h, w, h, 0, 0, w, h);
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

function showPositions(texts) {
  const body = $("positions").tBodies[0];
  body.replaceChildren();
  for (const t of texts) {
    const row = body.insertRow();
    row.insertCell().textContent = t.x;
    row.insertCell().textContent = t.y;
    const cell = row.insertCell();
    colouredText(cell, t.text);
    if (t.centred) cell.appendChild(document.createTextNode(" (centred)"));
    if (t.x < 0 || t.y < 0 || t.x >= page.width || t.y >= page.height) {
      const off = document.createElement("strong");
      off.className = "off-screen";
      off.textContent = " off the screen";
      cell.appendChild(off);
    }
  }
  if (texts.length === 0) body.insertRow().insertCell().textContent = "The plug-in draws no text in this scene.";
}

// ---- KOV.ini text and the check -------------------------------------------------------------

function setText(text, fromEditor) {
  page.text = text;
  if (!fromEditor) $("ini-text").value = text;
  page.textChanged = true;
  redraw();
}

function checkText() {
  page.textChanged = false;
  page.written = callJson(helper, "kov_written", page.text, page.encoding);
  showFindings(callJson(helper, "kov_check", page.text, page.encoding));
  showControls();
}

function lineStart(text, line) {
  let at = 0;
  for (let i = 1; i < line; ++i) {
    const next = text.indexOf("\n", at);
    if (next < 0) return text.length;
    at = next + 1;
  }
  return at;
}

function showFindings(findings) {
  page.findings = findings;
  page.findingKeys = new Set(findings.map((f) => f.key.toLowerCase()));
  const summary = $("check-summary");
  summary.textContent = findings.length === 0 ? "The check finds no mistakes in KOV.ini."
    : findings.length + (findings.length === 1 ? " mistake" : " mistakes") + " in KOV.ini: see the check under the file.";
  summary.classList.toggle("warn", findings.length > 0);
  const list = $("findings");
  list.replaceChildren();
  if (findings.length === 0) {
    const ok = document.createElement("li");
    ok.className = "ok";
    ok.textContent = "No mistakes: the plug-in reads this file as written.";
    list.appendChild(ok);
  }
  for (const f of findings) {
    const item = document.createElement("li");
    item.dataset.key = f.key;
    const go = document.createElement("button");
    go.type = "button";
    go.textContent = "Line " + f.line;
    go.title = "Show line " + f.line + " in the text";
    go.addEventListener("click", () => {
      const editor = $("ini-text");
      const start = lineStart(editor.value, f.line);
      const end = editor.value.indexOf("\n", start);
      editor.focus();
      editor.setSelectionRange(start, end < 0 ? editor.value.length : end);
    });
    item.append(go, ": " + f.message);
    list.appendChild(item);
  }
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
      box.appendChild(key.kind === "number" ? numberControl(key) : switchControl(key));
    }
  }
}

// A setting's row: its label, its controls (the last one is the one the label names) and, under
// them, what the plug-in reads, which that control's description points to.
function settingRow(key, className, ...controls) {
  const row = document.createElement("div");
  row.className = className;
  const label = document.createElement("label");
  label.textContent = key.key;
  label.htmlFor = controlId(key);
  const reads = document.createElement("div");
  reads.className = "reads";
  reads.id = controlId(key) + "-reads";
  controls[controls.length - 1].setAttribute("aria-describedby", reads.id);
  row.append(label, ...controls, reads);
  return row;
}

function numberControl(key) {
  const [low, high, step] = SLIDERS[key.key] || DEFAULT_SLIDER;
  const slider = document.createElement("input");
  Object.assign(slider, { type: "range", min: low, max: high, step, id: controlId(key) + "-slider" });
  slider.setAttribute("aria-label", key.key + " slider");
  const field = document.createElement("input");
  Object.assign(field, { type: "number", step, id: controlId(key) });
  slider.addEventListener("input", () => {
    field.value = slider.value;
    setKey(key, slider.value);
  });
  field.addEventListener("input", () => {
    if (field.value !== "") slider.value = field.value;
    setKey(key, field.value);
  });
  return settingRow(key, "setting", slider, field);
}

function switchControl(key) {
  const box = document.createElement("input");
  Object.assign(box, { type: "checkbox", id: controlId(key) });
  box.addEventListener("change", () => setKey(key, box.checked ? "true" : "false"));
  return settingRow(key, "setting switch", box);
}

function setKey(key, value) {
  setText(call(helper, "kov_set_value", "string", page.text, key.section, key.key, String(value)), false);
}

// The controls show what the file says; under each, what the plug-in reads from it.
function showControls() {
  for (const key of page.tables.keys) {
    const control = $(controlId(key));
    if (document.activeElement === control) continue;
    const written = page.written[key.key];
    if (key.kind === "number") {
      // A value that is not a plain number leaves the field empty; the line under it and the
      // check say what the plug-in makes of it.
      const value = written === null ? key.fallback : written.trim() !== "" && !isNaN(Number(written)) ? written : "";
      control.value = value;
      $(controlId(key) + "-slider").value = value === "" ? key.minimum : value;
    } else {
      const text = written === null ? key.fallback : written;
      control.checked = page.tables.switchOnWords.includes(text.toLowerCase());
    }
  }
}

function showSettingsRead(read) {
  for (const key of page.tables.keys) {
    const value = read[key.key];
    const shown = key.kind === "number" ? String(Math.round(value * 1000) / 1000) : value ? "on" : "off";
    const reads = $(controlId(key) + "-reads");
    const absent = page.written[key.key] === null;
    reads.textContent = "The plug-in reads: " + shown + (absent ? " (not in the file: the default)" : "");
    reads.classList.toggle("differs", page.findingKeys.has(key.key.toLowerCase()));
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

function buildScreenControls() {
  const limits = page.tables.limits;
  const sizes = page.tables.screens.map(([w, h]) => [w + "x" + h, w + " × " + h]);
  sizes.push(["custom", "Another size…"]);
  buildSelect($("screen-size"), sizes, "1920x1080");
  $("screen-size").addEventListener("change", () => {
    const value = $("screen-size").value;
    $("custom-size").hidden = value !== "custom";
    if (value !== "custom") {
      [page.width, page.height] = value.split("x").map(Number);
      $("screen-width").value = page.width;
      $("screen-height").value = page.height;
      redraw();
    }
  });
  const zone = $("safe-zone"), zoneSlider = $("safe-zone-slider");
  for (const input of [zone, zoneSlider]) Object.assign(input, { min: limits.minSafeZone, max: limits.maxSafeZone });
  Object.assign($("screen-width"), { min: limits.minWidth, max: limits.maxSide });
  Object.assign($("screen-height"), { min: limits.minHeight, max: limits.maxSide });
  const setZone = (value, from) => {
    const number = Number(value);
    if (!(number >= limits.minSafeZone && number <= limits.maxSafeZone)) return;
    page.safeZone = number;
    if (from !== zone) zone.value = number.toFixed(2);
    if (from !== zoneSlider) zoneSlider.value = number;
    redraw();
  };
  zone.addEventListener("input", () => setZone(zone.value, zone));
  zoneSlider.addEventListener("input", () => setZone(zoneSlider.value, zoneSlider));
  for (const id of ["screen-width", "screen-height"]) {
    $(id).addEventListener("input", () => {
      const w = Number($("screen-width").value), h = Number($("screen-height").value);
      if (!(w >= limits.minWidth && w <= limits.maxSide && h >= limits.minHeight && h <= limits.maxSide)) return;
      [page.width, page.height] = [Math.round(w), Math.round(h)];
      redraw();
    });
  }
}

// ---- the file -------------------------------------------------------------------------------

function showFileInfo() {
  const title = call(helper, "kov_encoding_title", "string", page.encoding);
  $("file-info").textContent = page.fileName + ": " + title + ". Saved the same way, with Windows line ends.";
}

async function openFile(file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  const pointer = helper._malloc(Math.max(bytes.length, 1));
  helper.HEAPU8.set(bytes, pointer);
  let decoded;
  try {
    decoded = JSON.parse(helper.UTF8ToString(helper._kov_decode(pointer, bytes.length)));
  } finally {
    helper._free(pointer);
  }
  page.encoding = decoded.encoding;
  page.fileName = file.name;
  showFileInfo();
  setText(decoded.text, false);
}

// The file's bytes as they will be saved.
function savedBytes() {
  const size = call(helper, "kov_encode", null, page.text, page.encoding);
  const pointer = helper._kov_encoded();
  return helper.HEAPU8.slice(pointer, pointer + size);
}
page.savedBytes = savedBytes;

function saveFile() {
  const url = URL.createObjectURL(new Blob([savedBytes()], { type: "application/octet-stream" }));
  const link = document.createElement("a");
  link.href = url;
  link.download = "KOV.ini";
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

function useDefaults() {
  page.encoding = "utf-8";
  page.fileName = "KOV.ini (the shipped defaults)";
  showFileInfo();
  setText(KOV_DEFAULT_INI, false);
}

// ---- start ----------------------------------------------------------------------------------

// The stand-in faces the pictures use (embedded in the page's style), loaded before the first picture.
function loadFonts() {
  const faces = ['"DejaVu Sans Condensed"', '"DejaVu Sans"'];
  return Promise.all(faces.flatMap((face) => ["16px " + face, "bold 16px " + face].map((font) => document.fonts.load(font))));
}

async function start() {
  const fonts = loadFonts();
  compiledModule = await WebAssembly.compile(moduleBytes());
  await fonts;
  helper = await freshInstance();
  page.tables = callJson(helper, "kov_tables");
  buildSelect($("scene"), page.tables.scenes.map((s) => [s.name, s.title]), page.scene);
  $("scene").addEventListener("change", () => {
    page.scene = $("scene").value;
    redraw();
  });
  buildScreenControls();
  buildSettings();
  $("ini-text").addEventListener("input", () => setText($("ini-text").value, true));
  $("open-file").addEventListener("change", () => {
    const file = $("open-file").files[0];
    if (file) openFile(file);
    $("open-file").value = "";
  });
  $("open-button").addEventListener("click", () => $("open-file").click());
  $("save-file").addEventListener("click", saveFile);
  $("use-defaults").addEventListener("click", useDefaults);
  useDefaults();
  await waitForRedraws();
  page.loadMs = performance.now();
  document.body.dataset.ready = "true";
}

// Resolves once no redraw is running or asked for.
page.settled = function waitForRedraws() {
  return new Promise((resolve) => {
    const poll = () => (page.frameAsked || page.running || page.again ? setTimeout(poll, 1) : resolve());
    poll();
  });
};
const waitForRedraws = page.settled;

start().catch((error) => {
  showStatus("The page could not start: " + error, true);
  console.error(error);
});
