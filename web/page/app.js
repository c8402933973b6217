"use strict";

const TEST_FUNCTIONS = {
  "F1..F4+L": ["L", "F1", "F2", "F3", "F4"],
  "F5..F8": ["F5", "F6", "F7", "F8"],
  "F9..F12": ["F9", "F10", "F11", "F12"],
  "F13..F20": ["F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20"],
  "F21..F28": ["F21", "F22", "F23", "F24", "F25", "F26", "F27", "F28"],
};

const LOG_LIMIT = 5000;
const TOKEN_KEY = "korvel-token";

const $ = (id) => document.getElementById(id);

function el(tag, attrs = {}, ...children) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(attrs)) {
    if (value === undefined || value === null || value === false) continue;
    if (key === "class") node.className = value;
    else if (key === "text") node.textContent = value;
    else node.setAttribute(key, value === true ? "" : String(value));
  }
  for (const child of children) node.append(child);
  return node;
}

let token = null;
let readOnly = false;
let runGoing = false;
let lastFile = null;

// The token arrives once in the address's fragment; it is kept for this tab
// only and taken out of the address bar, so it is neither bookmarked nor shown.
function takeToken() {
  const match = /(?:^#|&)token=([^&]+)/.exec(location.hash);
  if (match) {
    sessionStorage.setItem(TOKEN_KEY, decodeURIComponent(match[1]));
    history.replaceState(null, "", location.pathname + location.search);
  }
  token = sessionStorage.getItem(TOKEN_KEY);
  $("token-section").hidden = token !== null;
}

class ApiError extends Error {
  constructor(message, status, body) {
    super(message);
    this.status = status;
    this.body = body;
  }
}

async function api(method, path, body) {
  const headers = { Authorization: "Bearer " + token };
  let payload;
  if (body instanceof Blob) {
    payload = body;
    headers["Content-Type"] = "application/json";
  } else if (body !== undefined) {
    payload = JSON.stringify(body);
    headers["Content-Type"] = "application/json";
  }
  let response;
  try {
    response = await fetch(path, { method, headers, body: payload, cache: "no-store" });
  } catch (e) {
    throw new ApiError("korvel-web does not answer: is it still running?", 0, null);
  }
  const text = await response.text();
  let json = null;
  try {
    json = text ? JSON.parse(text) : null;
  } catch (e) {
    json = null;
  }
  if (response.status === 401) forgetToken();
  if (!response.ok) {
    const message = json && json.error && json.error.message ? json.error.message
      : `${response.status} ${response.statusText}`;
    throw new ApiError(message, response.status, json);
  }
  return { json, response, text };
}

function forgetToken() {
  sessionStorage.removeItem(TOKEN_KEY);
  token = null;
  $("token-section").hidden = false;
  setConnection("The token was refused: give it again.", true);
}

function say(id, text, isError = false) {
  const node = $(id);
  node.textContent = text;
  node.classList.toggle("error", isError);
}

function setConnection(text, lost = false) {
  const node = $("connection");
  node.textContent = text;
  node.classList.toggle("lost", lost);
}

// Runs one request for a section: its buttons wait, its message line tells.
async function act(msgId, busyText, work) {
  const section = $(msgId).closest("section");
  const buttons = [...section.querySelectorAll("button")].filter((b) => !b.disabled);
  buttons.forEach((b) => (b.disabled = true));
  section.setAttribute("aria-busy", "true");
  say(msgId, busyText);
  try {
    await work();
  } catch (e) {
    if (!(e instanceof ApiError)) throw e;
    say(msgId, e.message, true);
    return e;
  } finally {
    section.removeAttribute("aria-busy");
    buttons.forEach((b) => (b.disabled = false));
    applyRights();
  }
  return null;
}

// Write buttons are off for the read-only token, and while a run holds the line.
function applyRights() {
  for (const b of document.querySelectorAll("[data-write], [data-needs]")) {
    const refused = b.dataset.write !== undefined && (readOnly || runGoing);
    b.disabled = refused || b.dataset.needs === "off";
  }
  $("run-cancel").disabled = readOnly || !runGoing;
}

async function loadSession() {
  try {
    const { json } = await api("GET", "/api/session");
    readOnly = json["read-only"];
    runGoing = Boolean(json.run && json.run.run);
    setConnection(`Port ${json.port} · korvel-web ${json.version}${readOnly ? " · read-only token" : ""}`);
    applyRights();
  } catch (e) {
    if (!(e instanceof ApiError)) throw e;
    setConnection(e.message, true);
  }
}

// Status

const moduleRows = new Map();

function stateClass(module) {
  if (!module.answering) return "absent";
  const status = module.status || "";
  if (/fault/i.test(status)) return "fault";
  if (/hold/i.test(status)) return "hold";
  return "";
}

function moduleRow(module) {
  const row = el("tr", { class: stateClass(module) },
    el("th", { scope: "row", text: module.module }),
    el("td", { text: module.type || "" }),
    el("td", {}, el("span", { class: "badge", text: module.answering ? module.status || "" : "Not answering" })),
    el("td", { text: module.version || "" }));
  return row;
}

function showStatus(result) {
  const system = $("system");
  system.replaceChildren();
  const facts = [["System status", result["system-status"]], ["System version", result["system-version"]],
    ["Protocol version", result["protocol-version"]]];
  for (const [name, value] of facts) {
    if (value === undefined) continue;
    const dd = el("dd", { text: value });
    if (name === "System status" && /fault/i.test(value)) dd.className = "msg error";
    system.append(el("dt", { text: name }), dd);
  }
  system.hidden = false;
  const body = $("modules").tBodies[0];
  body.replaceChildren();
  moduleRows.clear();
  for (const module of result.modules || []) {
    const row = moduleRow(module);
    moduleRows.set(module.module, row);
    body.append(row);
  }
  $("modules").hidden = false;
  fillModuleLists(result.modules || []);
}

// A module event: one row as the latest status request left it.
function updateModule(event) {
  const module = { ...event, type: event["type-name"] };
  const row = moduleRow(module);
  const old = moduleRows.get(module.module);
  if (old) old.replaceWith(row);
  else $("modules").tBodies[0].append(row);
  moduleRows.set(module.module, row);
}

function fillModuleLists(modules) {
  const fill = (selectId, family, buttons) => {
    const select = $(selectId);
    const keep = select.value;
    const answering = modules.filter((m) => m.family === family && m.answering);
    select.replaceChildren(...answering.map((m) =>
      el("option", { value: m.module.slice(family.length + 1), text: `${m.module}${m.type ? " " + m.type : ""}` })));
    if (family === "zr" && answering.length > 1) select.append(el("option", { value: "All", text: "All" }));
    if (!answering.length) select.append(el("option", { value: "", text: "None answered" }));
    if ([...select.options].some((o) => o.value === keep)) select.value = keep;
    select.disabled = !answering.length;
    for (const id of buttons) $(id).dataset.needs = answering.length ? "" : "off";
  };
  fill("kx-module", "kx", ["kx-read", "kx-erase"]);
  fill("zr-module", "zr", ["zr-read", "zr-erase", "zr-set"]);
  applyRights();
  zrModuleChanged();
}

async function runStatus() {
  let answered = false;
  await act("status-msg", "Asking the system…", async () => {
    let result;
    try {
      ({ json: result } = await api("POST", "/api/status"));
    } catch (e) {
      // A module that did not answer fails the run but its result is whole.
      if (e instanceof ApiError && e.body && e.body.modules) {
        showStatus(e.body);
        answered = true;
      }
      throw e;
    }
    showStatus(result);
    answered = true;
    const count = result.modules.filter((m) => m.answering).length;
    say("status-msg", `${count} modules answered.`);
  });
  // What the VG unit offers follows the status request that found it.
  if (answered) await loadVg();
}

async function resetFault() {
  await act("status-msg", "Sending Reset Fault…", async () => {
    await api("POST", "/api/reset-fault");
    say("status-msg", "Reset Fault sent.");
  });
}

async function msCheck() {
  await act("status-msg", "Asking every KX-H and KX44 for its mode…", async () => {
    let result;
    try {
      ({ json: result } = await api("POST", "/api/kx/ms-check"));
    } catch (e) {
      if (e instanceof ApiError && e.body && e.body.verdict) {
        say("status-msg", `${e.body.verdict} (${modesText(e.body)})`, true);
        return;
      }
      throw e;
    }
    say("status-msg", `${result.verdict} (${modesText(result)})`);
  });
}

function modesText(result) {
  return result.modules.map((m) => `${m.module} ${m.mode}`).join(", ");
}

// KX settings

// The server's table of the settings by name, in the page's order; asked once.
let kxTable = null;

async function kxSettings() {
  if (!kxTable) {
    const { json } = await api("GET", "/api/kx/settings");
    kxTable = new Map(json.settings.map((row, index) => [row.name, { ...row, index }]));
  }
  return kxTable;
}

function settingLabel(name) {
  const row = kxTable && kxTable.get(name);
  if (!row) return name;
  return row.words.length ? `${row.caption} (${row.words.join(", ")})` : row.caption;
}

function settingControl(row, value, id) {
  if (row.options) {
    const select = el("select", { id });
    for (const option of row.options) select.append(el("option", { value: option.value, text: option.caption }));
    if (value === null) select.append(el("option", { value: "", text: "no answer" }));
    select.value = value === null ? "" : String(value);
    return select;
  }
  return el("input", { id, type: "number", inputmode: "numeric", min: row.minimum, max: row.maximum, step: 1,
    value: value === null ? "" : value });
}

// A value outside the range is marked and never sent; the server would refuse it too.
function checkValue(control, row, note) {
  if (control.tagName === "SELECT") return control.value === "" ? null : Number(control.value);
  const text = control.value.trim();
  const value = Number(text);
  const ok = text !== "" && Number.isInteger(value) && value >= row.minimum && value <= row.maximum;
  control.setAttribute("aria-invalid", ok ? "false" : "true");
  note.textContent = ok ? "" : `Out of range: give a whole number from ${row.minimum} to ${row.maximum}.`;
  note.classList.toggle("error", !ok);
  return ok ? value : null;
}

function markConfirmed(control, confirmed) {
  control.classList.toggle("confirmed", confirmed);
}

function showKxSettings(result) {
  const form = $("kx-form");
  form.replaceChildren();
  // The page's order, as the window lays the panels out.
  const entries = Object.entries(result.settings).filter(([name]) => kxTable.has(name))
    .sort(([a], [b]) => kxTable.get(a).index - kxTable.get(b).index);
  let index = 0;
  for (const [name, value] of entries) {
    const id = `kx-setting-${index++}`;
    const row = kxTable.get(name);
    const control = settingControl(row, value, id);
    // What the module's type only reports (a KX44's master/slave mode) has no Set.
    const settable = row["settable-on"].includes(result.type);
    const note = el("p", { class: "note", id: `${id}-note`, "aria-live": "polite" });
    control.setAttribute("aria-describedby", `${id}-range ${id}-note`);
    control.dataset.setting = name;
    markConfirmed(control, value !== null);
    if (value === null) note.textContent = "No answer.";
    control.addEventListener("input", () => {
      markConfirmed(control, false);
      checkValue(control, row, note);
    });
    const cell = el("span", { class: "value" }, control);
    if (settable) {
      const set = el("button", { type: "button", "data-write": "kx", text: "Set" });
      set.setAttribute("aria-label", `Set ${settingLabel(name)}`);
      set.addEventListener("click", () => setKx(name, control, row, note));
      cell.append(set);
    } else {
      control.disabled = true;
    }
    const range = (row.options ? row.options.map((o) => o.caption).join(", ") : `${row.minimum}–${row.maximum}`)
      + (settable ? "" : ` (read only on a ${result.type})`);
    form.append(el("div", { class: "setting" },
      el("label", { for: id, text: settingLabel(name) }),
      cell,
      el("span", { class: "range", id: `${id}-range`, text: range }),
      note));
  }
  form.hidden = false;
  applyRights();
}

async function readKx() {
  const module = $("kx-module").value;
  const permanent = $("kx-permanent").checked;
  await act("kx-msg", `Reading kx:${module}…`, async () => {
    await kxSettings();
    const { json } = await api("GET", `/api/kx/${encodeURIComponent(module)}${permanent ? "?permanent=1" : ""}`);
    showKxSettings(json);
    say("kx-msg", `kx:${module} ${json.type}: ${permanent ? "stored" : "active"} values as the module reported them.`);
  });
}

async function setKx(name, control, row, note) {
  const value = checkValue(control, row, note);
  if (value === null) return;
  // A group takes the value as the window's group entries do; the form goes on
  // showing the module it was read from.
  const target = $("kx-target").value || $("kx-module").value;
  const permanent = $("kx-permanent").checked;
  markConfirmed(control, false);
  await act("kx-msg", `Writing ${settingLabel(name)}…`, async () => {
    let result;
    try {
      ({ json: result } = await api("PUT", `/api/kx/${encodeURIComponent(target)}/${encodeURIComponent(name)}`,
        { value, permanent }));
    } catch (e) {
      if (e instanceof ApiError && e.body && e.body.modules) showReported(control, e.body, note);
      throw e;
    }
    showReported(control, result, note);
    const shown = control.tagName === "SELECT" ? control.selectedOptions[0].textContent : control.value;
    const by = result.modules.filter((m) => m.confirmed).map((m) => m.module);
    say("kx-msg", `${settingLabel(name)} confirmed: ${shown}${target === $("kx-module").value ? "" : " by " + (by.join(", ") || "none")}.`);
  });
}

// The field shows what the module reported back, green when it equals what was sent.
function showReported(control, result, note) {
  const answer = result.modules.find((m) => m.module === `kx:${$("kx-module").value}`);
  if (!answer) {
    note.textContent = "Not among the modules written.";
    return;
  }
  if (answer.reported !== null) control.value = String(answer.reported);
  markConfirmed(control, answer.confirmed);
  note.textContent = answer.confirmed ? "" : answer.reported === null ? "No answer."
    : `The module reported ${answer.reported}.`;
}

async function eraseKx() {
  const target = $("kx-target").value || $("kx-module").value;
  const what = $("kx-target").value || `kx:${target}`;
  if (!confirm(`Erase every setting of ${what}? It cannot be undone.`)) return;
  await act("kx-msg", `Erasing ${what}…`, async () => {
    const { json } = await api("POST", `/api/kx/${encodeURIComponent(target)}/erase`);
    say("kx-msg", `Erased: ${json.erased.join(", ") || "none"}.`);
  });
}

// ZR32

function zrModuleChanged() {
  $("zr-read").dataset.needs = $("zr-module").value === "All" || $("zr-module").disabled ? "off" : "";
  applyRights();
}

function zrWhatChanged() {
  const what = $("zr-what").value;
  $("zr-device").disabled = what === "default-time";
  $("zr-power").hidden = what !== "power";
  $("zr-value").hidden = what === "power";
  $("zr-value-label").hidden = what === "power";
}

async function readZr() {
  const module = $("zr-module").value;
  const permanent = $("zr-permanent").checked;
  await act("zr-msg", `Reading zr:${module}…`, async () => {
    const { json } = await api("GET", `/api/zr/${encodeURIComponent(module)}/report${permanent ? "?permanent=1" : ""}`);
    $("zr-report").textContent = json.report;
    $("zr-report").hidden = false;
    say("zr-msg", `zr:${module}: ${permanent ? "stored" : "active"} configuration.`);
  });
}

function rangedNumber(input, min, max) {
  const value = Number(input.value);
  const ok = input.value.trim() !== "" && Number.isInteger(value) && value >= min && value <= max;
  input.setAttribute("aria-invalid", ok ? "false" : "true");
  return ok ? value : null;
}

async function setZr(event) {
  event.preventDefault();
  const module = $("zr-module").value;
  const what = $("zr-what").value;
  const permanent = $("zr-permanent").checked;
  let path;
  let value;
  if (what === "default-time") {
    path = "default-time";
  } else {
    const device = rangedNumber($("zr-device"), 0, 63);
    if (device === null) return say("zr-msg", "The device is a whole number from 0 to 63.", true);
    path = `device/${device}/${what}`;
  }
  if (what === "power") value = $("zr-power").selectedOptions[0].textContent;
  else value = rangedNumber($("zr-value"), 0, 127);
  if (value === null) return say("zr-msg", "The time is a whole number from 0 to 127.", true);
  await act("zr-msg", "Writing…", async () => {
    const { json } = await api("PUT", `/api/zr/${encodeURIComponent(module)}/${path}`, { value, permanent });
    say("zr-msg", `${json.setting} ${json.value} written to ${json.modules.join(", ")}.`);
  });
}

async function eraseZr() {
  const module = $("zr-module").value;
  if (!confirm(`Erase every setting of zr:${module}? It cannot be undone.`)) return;
  await act("zr-msg", `Erasing zr:${module}…`, async () => {
    const { json } = await api("POST", `/api/zr/${encodeURIComponent(module)}/erase`);
    say("zr-msg", `Erased: ${json.erased.join(", ") || "none"}.`);
  });
}

// VG unit

// The boxes of the bits the unit offers; none until a status request found it.
function fillBits(fieldsetId, buttonName, frame) {
  const box = $(fieldsetId).querySelector(".bits");
  const bits = frame ? frame.bits : [];
  box.replaceChildren(...bits.map((b) =>
    el("label", { class: "check" }, el("input", { type: "checkbox", value: b.bit }), ` ${b.bit} ${b.name}`)));
  if (!frame) box.append(el("p", { class: "note", text: "Run a status request to see what the VG unit offers." }));
  else if (!frame.settable) box.append(el("p", { class: "note", text: "This unit does not offer these bits." }));
  $("vg-form").querySelector(`button[name="${buttonName}"]`).dataset.needs = frame && frame.settable ? "" : "off";
}

function showVgOffer(offer) {
  fillBits("vg-config", "config", offer && offer.config);
  fillBits("vg-options", "options", offer && offer.options);
  $("vg-unit").textContent = offer ? offer.unit : "";
  applyRights();
}

async function loadVg() {
  try {
    const { json } = await api("GET", "/api/vg");
    showVgOffer(json);
  } catch (e) {
    if (!(e instanceof ApiError)) throw e;
    showVgOffer(null);
    say("vg-msg", e.message, true);
  }
}

function checkedBits(fieldsetId) {
  return [...$(fieldsetId).querySelectorAll("input:checked")].map((i) => Number(i.value));
}

async function setVg(event) {
  event.preventDefault();
  const which = event.submitter ? event.submitter.name : "config";
  const body = which === "config"
    ? { config: checkedBits("vg-config"), permanent: $("vg-permanent").checked }
    : { options: checkedBits("vg-options") };
  await act("vg-msg", "Writing the VG unit…", async () => {
    const { json } = await api("PUT", "/api/vg", body);
    const sent = json.config || json.options;
    say("vg-msg", `${json.unit}: bits ${sent.bits.join(", ") || "none"} set, the others cleared.`);
  });
}

// Function test

function fillFunctions() {
  const box = $("test-functions");
  box.replaceChildren(...TEST_FUNCTIONS[$("test-group").value].map((f) =>
    el("label", { class: "check" }, el("input", { type: "checkbox", value: f }), ` ${f}`)));
}

async function runTest(event) {
  event.preventDefault();
  const decoder = rangedNumber($("test-decoder"), 0, 16383);
  const block = rangedNumber($("test-block"), 0, 127);
  if (decoder === null || block === null) return say("test-msg", "The decoder is 0 to 16383, the block 0 to 127.", true);
  const on = [...$("test-functions").querySelectorAll("input:checked")].map((i) => i.value);
  await act("test-msg", "Sending…", async () => {
    const { json } = await api("POST", "/api/test", { group: $("test-group").value, on, decoder, block });
    say("test-msg", `Decoder ${json.decoder}, ${json.group}: on ${json.on.join(" ") || "none"}.`);
  });
}

// Live log

let logHeld = [];

function matchesFilter(text) {
  const filter = $("log-filter").value.trim().toLowerCase();
  return !filter || text.toLowerCase().includes(filter);
}

function appendLog(text, notice = false) {
  if ($("log-pause").checked && !notice) {
    logHeld.push(text);
    if (logHeld.length > LOG_LIMIT) logHeld.shift();
    say("log-state", `Paused: ${logHeld.length} lines waiting.`);
    return;
  }
  const log = $("log");
  const atEnd = log.scrollTop + log.clientHeight >= log.scrollHeight - 4;
  const item = el("li", { class: notice ? "notice" : null, text });
  item.hidden = !matchesFilter(text);
  log.append(item);
  while (log.childElementCount > LOG_LIMIT) log.firstElementChild.remove();
  if (atEnd) log.scrollTop = log.scrollHeight;
}

function resumeLog() {
  const held = logHeld;
  logHeld = [];
  say("log-state", "");
  held.forEach((line) => appendLog(line));
}

function filterLog() {
  for (const item of $("log").children) item.hidden = !matchesFilter(item.textContent);
}

// Events

let socket = null;
let retryDelay = 1000;

function connectEvents() {
  if (!token) return;
  const scheme = location.protocol === "https:" ? "wss:" : "ws:";
  socket = new WebSocket(`${scheme}//${location.host}/api/events`);
  socket.addEventListener("open", () => socket.send(JSON.stringify({ token })));
  socket.addEventListener("message", (m) => onEvent(JSON.parse(m.data)));
  socket.addEventListener("close", (c) => {
    socket = null;
    if (c.code === 1008) {
      say("log-state", "The events were refused.", true);
      return;
    }
    say("log-state", "Events lost; reconnecting…", true);
    setTimeout(connectEvents, retryDelay);
    retryDelay = Math.min(retryDelay * 2, 30000);
  });
}

function onEvent(event) {
  switch (event.type) {
    case "hello":
      retryDelay = 1000;
      say("log-state", "Live.");
      readOnly = event["read-only"];
      setRun(event.run.run, event.run.started);
      if (event.line === "lost") lineLost();
      break;
    case "log":
      appendLog(event.line);
      break;
    case "progress":
      showProgress(event);
      break;
    case "run":
      setRun(event.state === "started" ? event.run : null, event.started);
      break;
    case "module":
      updateModule(event);
      break;
    case "line":
      if (event.state === "lost") lineLost();
      else {
        appendLog("The line is back.", true);
        loadSession();
      }
      break;
  }
}

function lineLost() {
  setConnection("The line to the controller was lost. Check the cable, then run a status request.", true);
  appendLog("The line to the controller was lost.", true);
}

function setRun(run, started) {
  runGoing = Boolean(run);
  const bar = $("run-progress");
  if (run) {
    say("backup-msg", `A ${run} is running${started ? ", started at " + started : ""}.`);
  } else {
    bar.value = 0;
    bar.removeAttribute("aria-valuetext");
    bar.removeAttribute("title");
  }
  applyRights();
}

function showProgress(event) {
  const bar = $("run-progress");
  bar.max = Math.max(event.total, 1);
  bar.value = event.done;
  const what = `${event.run}: ${event.done} of ${event.total}, ${event.module}${event.setting ? " " + event.setting : ""}`;
  bar.setAttribute("aria-valuetext", what);
  bar.title = what;
}

// Backup, verify and restore

function runQuery(extra) {
  const query = new URLSearchParams(extra);
  for (const m of $("restore-only").value.split(/[\s,]+/).filter(Boolean)) query.append("only", m);
  for (const m of $("restore-map").value.split(/[\s,]+/).filter(Boolean)) query.append("map", m);
  const text = query.toString();
  return text ? "?" + text : "";
}

function showItems(result) {
  const body = $("items").tBodies[0];
  body.replaceChildren();
  const show = (v) => (v === null || v === undefined ? "–" : String(v));
  for (const item of result.items || []) {
    const row = el("tr", { class: item.kind === "different" || item.kind === "not-answered" ? "fault" : null },
      el("th", { scope: "row", text: `${item.module}${item.type ? " " + item.type : ""}` }),
      el("td", { text: `${item.setting ?? "whole module"}${item.permanent ? " (stored)" : ""}` }),
      el("td", { text: show(item["file-value"]) }),
      el("td", { text: show(item["module-value"]) }),
      el("td", { text: item.reason ? `${item.kind}: ${item.reason}` : item.kind }));
    body.append(row);
  }
  $("items").hidden = !(result.items && result.items.length);
}

async function download() {
  await act("backup-msg", "Taking a backup…", async () => {
    const { response, text } = await api("GET", "/api/backup");
    const disposition = response.headers.get("Content-Disposition") || "";
    const name = (/filename="([^"]+)"/.exec(disposition) || [])[1] || "korvel-backup.json";
    const url = URL.createObjectURL(new Blob([text], { type: "application/json" }));
    const link = el("a", { href: url, download: name });
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
    say("backup-msg", `Backup downloaded as ${name}.`);
  });
}

function itemSummary(result) {
  const counts = {};
  for (const item of result.items || []) counts[item.kind] = (counts[item.kind] || 0) + 1;
  return Object.entries(counts).map(([k, n]) => `${n} ${k}`).join(", ") || "no items";
}

async function uploadRun(kind, extra, doneText) {
  const file = $("backup-file").files[0];
  if (!file) return say("backup-msg", "Choose a backup file first.", true);
  const route = kind === "verify" ? "/api/verify" : "/api/restore";
  return act("backup-msg", `${doneText[0]}…`, async () => {
    let result;
    try {
      ({ json: result } = await api("POST", route + runQuery(extra), file));
    } catch (e) {
      if (e instanceof ApiError && e.body && e.body.items) showItems(e.body);
      // A restore that stopped halfway says what it wrote and what not.
      if (e instanceof ApiError && e.body && (e.body.written || e.body["not-written"])) {
        const list = (key) => (e.body[key] || []).join("; ") || "nothing";
        e.message += ` Written: ${list("written")}. Not written: ${list("not-written")}.`;
      }
      throw e;
    }
    showItems(result);
    say("backup-msg", `${doneText[1]}: ${itemSummary(result)}.`);
  });
}

function restoreInputsChanged() {
  lastFile = null;
  $("restore-run").dataset.needs = "off";
  const chosen = $("backup-file").files.length > 0 ? "" : "off";
  $("verify-run").dataset.needs = chosen;
  $("restore-dry").dataset.needs = chosen;
  applyRights();
}

async function dryRun() {
  const failed = await uploadRun("restore", { "dry-run": "1" }, ["Planning the restore", "Dry run"]);
  if (!failed) {
    // The restore itself is offered only for what this dry run showed.
    lastFile = $("backup-file").files[0];
    $("restore-run").dataset.needs = "";
    applyRights();
  }
}

async function restore() {
  if ($("backup-file").files[0] !== lastFile) return;
  if (!confirm("Write the planned settings to the modules?")) return;
  await uploadRun("restore", {}, ["Restoring", "Restore"]);
}

async function cancelRun() {
  try {
    await api("DELETE", "/api/run");
    say("backup-msg", "Cancel asked; the run stops before its next exchange.");
  } catch (e) {
    if (!(e instanceof ApiError)) throw e;
    say("backup-msg", e.message, true);
  }
}

function wire() {
  for (const id of ["reset-fault", "kx-erase", "zr-erase", "zr-set", "restore-run"]) $(id).dataset.write = "write";
  for (const b of document.querySelectorAll("#vg-form button, #test-form button")) b.dataset.write = "write";
  for (const id of ["kx-read", "kx-erase", "zr-read", "zr-erase", "zr-set", "verify-run", "restore-dry", "restore-run"]) {
    $(id).dataset.needs = "off";
  }
  $("token-form").addEventListener("submit", (e) => {
    e.preventDefault();
    sessionStorage.setItem(TOKEN_KEY, $("token-input").value.trim());
    $("token-input").value = "";
    start();
  });
  $("status-run").addEventListener("click", runStatus);
  $("reset-fault").addEventListener("click", resetFault);
  $("ms-check").addEventListener("click", msCheck);
  $("kx-read").addEventListener("click", readKx);
  $("kx-erase").addEventListener("click", eraseKx);
  $("kx-module").addEventListener("change", () => ($("kx-form").hidden = true));
  $("zr-read").addEventListener("click", readZr);
  $("zr-erase").addEventListener("click", eraseZr);
  $("zr-module").addEventListener("change", zrModuleChanged);
  $("zr-what").addEventListener("change", zrWhatChanged);
  $("zr-form").addEventListener("submit", setZr);
  $("vg-form").addEventListener("submit", setVg);
  $("test-group").addEventListener("change", fillFunctions);
  $("test-form").addEventListener("submit", runTest);
  $("log-pause").addEventListener("change", () => ($("log-pause").checked ? say("log-state", "Paused.") : resumeLog()));
  $("log-filter").addEventListener("input", filterLog);
  $("log-clear").addEventListener("click", () => $("log").replaceChildren());
  $("backup-download").addEventListener("click", download);
  $("backup-file").addEventListener("change", restoreInputsChanged);
  $("restore-only").addEventListener("input", restoreInputsChanged);
  $("restore-map").addEventListener("input", restoreInputsChanged);
  $("verify-run").addEventListener("click", () => uploadRun("verify", {}, ["Verifying", "Verify"]));
  $("restore-dry").addEventListener("click", dryRun);
  $("restore-run").addEventListener("click", restore);
  $("run-cancel").addEventListener("click", cancelRun);
  showVgOffer(null);
  fillFunctions();
  zrWhatChanged();
}

function start() {
  takeToken();
  if (!token) {
    setConnection("No token");
    return;
  }
  loadSession();
  if (!socket) connectEvents();
}

wire();
start();
