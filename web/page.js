// The preview page: controls around the WebAssembly module (the plug-in in the simulated host).
// The KOV.ini file's bytes are the truth: the text shown, the controls and the file editor all work
// on them through the module (each line keeps its bytes until it is edited). At the next animation
// frame after a change (however many came in since the last one) the page runs the plug-in on the
// bytes in a fresh module instance and redraws; after a change of the file or the screen, a second
// fresh instance runs it through the scene that shows every setting, for what the page tells the
// player it reads and for the check.
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
  bytes: new Uint8Array(0),  // the file: what Save writes
  text: "",            // the file as the editor shows it
  encoding: "utf-8",
  opened: null,        // what opening the bytes told: encoding, its title, the line end new lines take
  unkept: [],          // lines edited in the text whose characters the file cannot keep as they are
  fileName: "KOV.ini",
  scene: "street",
  width: 1920,
  height: 1080,
  safeZone: 1,
  last: null,          // the last run's result
  claims: null,        // what the plug-in read and the check, from the every-setting run
  findings: [],        // the check of the file
  findingKeys: new Set(),
  written: {},         // each setting's value as written in the file (null where absent)
  loadMs: 0,
  redrawMs: [],        // every redraw's time, for the test's report
  redrawParts: [],     // and its parts: a fresh instance, the plug-in's run, the picture and lists
  claimsStale: true,   // the file or the screen changed since the last claims
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
      call(instance, "kov_run", null, page.bytes, page.scene, page.width, page.height, page.safeZone);
      const result = JSON.parse(call(instance, "kov_run_result", "string"));
      const ran = performance.now();
      page.last = result;
      if (page.claimsStale) await checkFile();
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

// ---- KOV.ini file and the check -------------------------------------------------------------

// The file's bytes changed: from the editor (which already shows them), or from elsewhere (the
// editor then shows the new bytes as opened).
function setBytes(bytes, fromEditor) {
  page.bytes = bytes;
  if (!fromEditor) {
    page.opened = callJson(helper, "kov_open", bytes);
    page.encoding = page.opened.encoding;
    page.text = page.opened.text;
    page.unkept = [];
    $("ini-text").value = page.text;
    showFileInfo();
  }
  page.written = callJson(helper, "kov_written", bytes);
  page.claimsStale = true;
  redraw();
}

// An edit in the editor, applied to the bytes line by line.
function editText(text) {
  page.text = text;
  const edit = callJson(helper, "kov_apply_text", page.bytes, text);
  page.unkept = edit.unkept;
  showFileInfo();
  setBytes(bytesOut(helper), true);
}

// What the plug-in reads and the check, from a run of it in a fresh instance on the chosen screen.
async function checkFile() {
  page.claimsStale = false;
  const instance = await freshInstance();
  call(instance, "kov_claims", null, page.bytes, page.width, page.height, page.safeZone);
  const claims = JSON.parse(call(instance, "kov_run_result", "string"));
  if (!claims.ok) {
    showStatus("The plug-in run for the check failed: " + claims.error, true);
    return;
  }
  page.claims = claims;
  showFindings(claims.findings);
  showControls();
  showSettingsRead(claims);
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
  const mistakes = findings.filter((f) => !f.note);
  page.findingKeys = new Set(mistakes.map((f) => f.key.toLowerCase()));
  const summary = $("check-summary");
  summary.textContent = mistakes.length === 0 ? "The check finds no mistakes in KOV.ini."
    : mistakes.length + (mistakes.length === 1 ? " mistake" : " mistakes") + " in KOV.ini: see the check under the file.";
  summary.classList.toggle("warn", mistakes.length > 0);
  const list = $("findings");
  list.replaceChildren();
  if (mistakes.length === 0) {
    const ok = document.createElement("li");
    ok.className = "ok";
    ok.textContent = "No mistakes: the plug-in reads this file as written.";
    list.appendChild(ok);
  }
  for (const f of findings) {
    const item = document.createElement("li");
    item.dataset.key = f.key;
    if (f.note) item.className = "note";
    if (f.line === 0) {
      item.append((f.note ? "Note: " : "") + f.message);
      list.appendChild(item);
      continue;
    }
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
    item.append(go, (f.note ? ": note: " : ": ") + f.message);
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

// A setting's row: its name, under it what it does in the game, its controls (the last one is the
// one the name labels) and, under them, what the plug-in reads and what the check says of it,
// which that control's description points to. A setting that changes nothing gets no control.
function settingRow(key, className, ...controls) {
  const row = document.createElement("div");
  row.className = className;
  const label = document.createElement("label");
  label.className = "name";
  label.textContent = key.key;
  const about = document.createElement("p");
  about.className = "description";
  about.textContent = key.description;
  const reads = document.createElement("div");
  reads.className = "reads";
  reads.id = controlId(key) + "-reads";
  about.id = controlId(key) + "-about";
  if (controls.length > 0) {
    label.htmlFor = controlId(key);
    controls[controls.length - 1].setAttribute("aria-describedby", about.id + " " + reads.id);
  }
  row.append(label, about, ...controls, reads);
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
  slider.addEventListener("input", () => {
    field.value = slider.value;
    setKey(key, slider.value);
  });
  field.addEventListener("input", () => setKey(key, field.value));
  return settingRow(key, "setting", slider, field);
}

function switchControl(key) {
  if (key.changesNothing) return settingRow(key, "setting switch kept");
  const box = document.createElement("input");
  Object.assign(box, { type: "checkbox", id: controlId(key) });
  box.addEventListener("change", () => setKey(key, box.checked ? "true" : "false"));
  return settingRow(key, "setting switch", box);
}

// Writes exactly the value the player chose; what the plug-in makes of it shows under the field.
function setKey(key, value) {
  call(helper, "kov_set_value", null, page.bytes, key.section, key.key, String(value));
  setBytes(bytesOut(helper), false);
}

// A number field shows what the file says, as written; its slider and a switch's box show what
// the plug-in reads.
function showControls() {
  const read = page.claims ? page.claims.settings : {};
  for (const key of page.tables.keys) {
    const control = $(controlId(key));
    if (control === null) continue;
    const written = page.written[key.key];
    if (key.kind === "number") {
      if (document.activeElement !== control) control.value = written === null ? key.fallback : written;
      const slider = $(controlId(key) + "-slider");
      const value = read[key.key];
      if (document.activeElement !== slider) slider.value = value === null ? slider.max : value;
    } else if (document.activeElement !== control) {
      control.checked = Boolean(read[key.key]);
    }
  }
}

// Under each setting: what the plug-in reads, and what the check says of that setting.
function showSettingsRead(claims) {
  for (const key of page.tables.keys) {
    const reads = $(controlId(key) + "-reads");
    const absent = page.written[key.key] === null;
    const kept = key.changesNothing ? " (it changes nothing)" : "";
    reads.replaceChildren("The plug-in reads: " + claims.read[key.key].shown + kept +
      (absent ? " (not in the file: the default)" : ""));
    for (const f of claims.findings.filter((f) => f.key.toLowerCase() === key.key.toLowerCase())) {
      const said = document.createElement("span");
      said.className = f.note ? "said note" : "said";
      said.textContent = " " + f.message;
      reads.appendChild(said);
    }
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

// The check of the panel's place is for the chosen screen: a new screen asks for it again.
function screenChanged() {
  page.claimsStale = true;
  redraw();
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
      screenChanged();
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
    screenChanged();
  };
  zone.addEventListener("input", () => setZone(zone.value, zone));
  zoneSlider.addEventListener("input", () => setZone(zoneSlider.value, zoneSlider));
  for (const id of ["screen-width", "screen-height"]) {
    $(id).addEventListener("input", () => {
      const w = Number($("screen-width").value), h = Number($("screen-height").value);
      if (!(w >= limits.minWidth && w <= limits.maxSide && h >= limits.minHeight && h <= limits.maxSide)) return;
      [page.width, page.height] = [Math.round(w), Math.round(h)];
      screenChanged();
    });
  }
}

// ---- the file -------------------------------------------------------------------------------

function showFileInfo() {
  const info = $("file-info");
  info.textContent = page.fileName + ": " + page.opened.title + ", lines ending in " + page.opened.lineEnd +
    ". Saved the same way: every line you did not edit keeps its bytes.";
  info.classList.toggle("warn", page.unkept.length > 0);
  if (page.unkept.length > 0) {
    info.append(" " + (page.unkept.length === 1 ? "Line " : "Lines ") + page.unkept.join(", ") +
      " hold characters a file in " + page.opened.title + " cannot keep: Save writes them as ? (or keeps the " +
      "replacement character \uFFFD for bytes that were no text).");
  }
}

async function openFile(file) {
  page.fileName = file.name;
  setBytes(new Uint8Array(await file.arrayBuffer()), false);
}

function saveFile() {
  const url = URL.createObjectURL(new Blob([page.bytes], { type: "application/octet-stream" }));
  const link = document.createElement("a");
  link.href = url;
  link.download = "KOV.ini";
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

function useDefaults() {
  page.fileName = "KOV.ini (the shipped defaults)";
  setBytes(utf8.encode(KOV_DEFAULT_INI), false);
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
  $("ini-text").addEventListener("input", () => editText($("ini-text").value));
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
