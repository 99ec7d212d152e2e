// The page: the form as the command line's arguments, the library's run in
// the wasm module, and what it gives back shown, played and saved.
"use strict";

// Presets of the command line: adding one is one line here. The page has
// no GSM coder, so asterisk-gsm is not offered.
const PRESETS = [
  { name: "svxlink", label: "svxlink: 16 kHz 16-bit WAV" },
  { name: "asterisk", label: "Asterisk: 8 kHz mu-law, raw (.ulaw)" },
  { name: "asterisk-wav", label: "Asterisk: 8 kHz 16-bit WAV" },
];

// The sound options: field, long option, and the value the command line
// takes when the option is left out (a field holding it adds nothing).
const OPTIONS = [
  { id: "preset", option: "--preset", unset: "" },
  { id: "rate", option: "--rate", unset: "11025" },
  { id: "encoding", option: "--encoding", unset: "u8" },
  { id: "ramp", option: "--ramp", unset: "0" },
  { id: "farnsworth", option: "--farnsworth", unset: "" },
  { id: "volume", option: "--volume", unset: "0" },
  { id: "lead", option: "--lead", unset: "0" },
  { id: "tail", option: "--tail", unset: "0" },
];

const RAW_EXTENSIONS = { u8: "raw", s16: "sw", ulaw: "ul", alaw: "al" };
const NUMBER_STATUSES = [24, 59, 64];

const $ = (id) => document.getElementById(id);

// window.zarn.render: the C library's zarn_render over the module's memory.
function makeApi(module) {
  function cString(text) {
    const size = module.lengthBytesUTF8(text) + 1;
    const at = module._malloc(size);
    module.stringToUTF8(text, at, size);
    return at;
  }

  function render(args) {
    const strings = args.map((a) => cString(String(a)));
    const argv = module._malloc(4 * Math.max(1, strings.length));
    strings.forEach((at, i) => { module.HEAPU32[(argv >> 2) + i] = at; });
    const result = module._malloc(20);  // zarn_result on wasm32: five 4-byte fields
    try {
      const status = module._zarn_render(strings.length, argv, result);
      const fields = module.HEAPU32.subarray(result >> 2, (result >> 2) + 5);
      const [bytes, size, out, diagnostic] = fields;
      return {
        bytes: bytes ? module.HEAPU8.slice(bytes, bytes + size) : new Uint8Array(0),
        status,
        diagnostic: module.UTF8ToString(diagnostic),
        out: module.UTF8ToString(out),
      };
    } finally {
      module._zarn_result_free(result);
      [result, argv, ...strings].forEach((at) => module._free(at));
    }
  }

  return { render };
}

function value(id) {
  return $(id).value;
}

function isMessage() {
  return document.querySelector('input[name="mode"]:checked').value === "message";
}

// The arguments after the program name, without the file name.
function formArguments() {
  const args = [];
  if (isMessage()) args.push("--text");
  if ($("raw").checked) args.push("--raw");
  for (const { id, option, unset } of OPTIONS) {
    if (value(id) !== unset) args.push(option, value(id));
  }
  const callsign = value("callsign");
  // A callsign that starts with '-' would read as an option.
  if (callsign.startsWith("-")) args.push("--");
  args.push(callsign, value("wpm"));
  if (value("freq").trim() !== "") args.push(value("freq"));
  return args;
}

function fileName() {
  const words = value("callsign").trim().split(/\s+/);
  const base = (isMessage() ? words.slice(0, 4).join("-") : words[0].slice(0, 10))
    .replace(/\//g, "-").replace(/[^A-Za-z0-9-]/g, "").slice(0, 40) || "zarn-id";
  return base + "." + ($("raw").checked ? RAW_EXTENSIONS[value("encoding")] : "wav");
}

function shellQuote(arg) {
  return /^[A-Za-z0-9_./=:,+@%-]+$/.test(arg) ? arg : "'" + arg.replace(/'/g, "'\\''") + "'";
}

function commandLine(args, name) {
  // The file name goes after <wpm>, before the tone.
  const at = args.length - (value("freq").trim() !== "" ? 1 : 0);
  return ["zarn", ...args.slice(0, at), name, ...args.slice(at)].map(shellQuote).join(" ");
}

// Which field a refusal concerns, from the words the command line uses.
function fieldOf(diagnostic, status) {
  const option = /(?:option |severe: )(--[a-z]+)/.exec(diagnostic);
  if (option) {
    const known = OPTIONS.find((o) => o.option === option[1]);
    return known ? known.id : "general";
  }
  if (/callsign character|message/.test(diagnostic)) return "callsign";
  if (/speed must be|too long for a WAV/.test(diagnostic)) return "wpm";
  if (/^zarn: severe: tone of/m.test(diagnostic)) return "freq";
  if (NUMBER_STATUSES.includes(status)) {
    // Both numbers are read before anything else: the speed alone tells.
    const speedAlone = window.zarn.render(["E", value("wpm")]);
    return NUMBER_STATUSES.includes(speedAlone.status) ? "wpm" : "freq";
  }
  return "general";
}

const ERROR_FIELDS = ["callsign", "wpm", "freq", ...OPTIONS.map((o) => o.id), "general"];

function showRefusal(field, text) {
  for (const id of ERROR_FIELDS) {
    const here = id === field;
    $(id + "-error").textContent = here ? text : "";
    if (id !== "general") $(id).setAttribute("aria-invalid", here ? "true" : "false");
  }
}

// The latest run: what Play and Download use.
let current = null;
let playing = null;

function drawKeying(runs, total, rate) {
  const canvas = $("keying");
  const box = $("keying-box");
  const seconds = total / rate;
  // Long messages scroll rather than squeeze their dots together.
  const width = Math.max(box.clientWidth, Math.min(16000, Math.ceil(seconds * 120)));
  const ratio = window.devicePixelRatio || 1;
  canvas.style.width = width + "px";
  canvas.width = Math.round(width * ratio);
  canvas.height = Math.round(64 * ratio);
  const g = canvas.getContext("2d");
  g.scale(ratio, ratio);
  const style = getComputedStyle(canvas);
  g.fillStyle = style.getPropertyValue("--axis").trim();
  g.fillRect(0, 50, width, 1);
  g.font = "11px sans-serif";
  const step = seconds > 20 ? 5 : seconds > 4 ? 1 : 0.5;
  for (let t = 0; t <= seconds; t += step) {
    const x = Math.min(width - 1, (t / seconds) * width);
    g.fillRect(x, 50, 1, 5);
    g.fillText(t + " s", Math.min(x + 2, width - 28), 63);
  }
  g.fillStyle = style.getPropertyValue("--key").trim();
  for (const [start, end] of runs) {
    const x = (start / total) * width;
    g.fillRect(x, 14, Math.max(1, ((end - start) / total) * width), 26);
  }
}

function showSound(result, args) {
  const raw = $("raw").checked;
  const sound = zarnSound.samplesOf(result.bytes, raw, Number(value("rate")), value("encoding"));
  const charWpm = Number(value("farnsworth") || value("wpm"));
  const unit = Math.round((1.2 / charWpm) * sound.rate);
  const runs = zarnSound.keyRuns(sound.samples, unit);
  const pattern = zarnSound.pattern(runs, unit);
  const seconds = sound.samples.length / sound.rate;
  drawKeying(runs, sound.samples.length || 1, sound.rate);
  $("keying").setAttribute("aria-label", `Keying over ${seconds.toFixed(2)} seconds: ${pattern}`);
  $("pattern").textContent = pattern;
  $("summary").textContent = `${seconds.toFixed(2)} s, ${result.bytes.length.toLocaleString("en")} bytes ` +
    `(${fileName()}), made in ${result.milliseconds.toFixed(1)} ms.`;
  current = { ...result, sound, args };
}

function update() {
  $("callsign-label").textContent = isMessage() ? "Message" : "Callsign";
  $("callsign-hint").textContent = isMessage()
    ? "Letters of any script zarn knows (Latin, Cyrillic, Greek, Hebrew, Arabic, kana), digits, blanks, . , : ? ' - / ( ) \" = + @ and prosigns such as <AR>."
    : "Letters, digits and /; the first 10 count.";
  const args = formArguments();
  $("command").value = commandLine(args, fileName());
  const started = performance.now();
  let result;
  try {
    result = window.zarn.render(args);
  } catch (failure) {
    // The module aborts on what the executable would report as an internal
    // failure; the page cannot go on from there.
    showRefusal("general", "zarn stopped: " + failure.message + ". Reload the page.");
    $("download").disabled = $("play").disabled = true;
    return;
  }
  result.milliseconds = performance.now() - started;
  const refused = result.status !== 0 || result.bytes.length === 0;
  $("download").disabled = $("play").disabled = refused;
  if (refused) {
    current = null;
    const text = (result.diagnostic || result.out).trim();
    showRefusal(fieldOf(result.diagnostic, result.status), text);
    $("summary").textContent = "Nothing to play or download: " + text;
    $("pattern").textContent = "";
    drawKeying([], 1, 1);
    $("keying").setAttribute("aria-label", "No keying");
    return;
  }
  showRefusal(null, "");
  showSound(result, args);
}

function stop() {
  if (playing) playing.stop();
}

function play() {
  if (!current) return;
  stop();
  const { samples, rate } = current.sound;
  const context = new AudioContext({ sampleRate: rate });
  const buffer = context.createBuffer(1, Math.max(1, samples.length), rate);
  buffer.copyToChannel(samples, 0);
  const source = context.createBufferSource();
  source.buffer = buffer;
  source.connect(context.destination);
  source.onended = () => {
    context.close();
    if (playing === source) playing = null;
    $("stop").disabled = true;
  };
  playing = source;
  $("stop").disabled = false;
  source.start();
}

function download() {
  if (!current) return;
  const url = URL.createObjectURL(new Blob([current.bytes], { type: "application/octet-stream" }));
  const link = document.createElement("a");
  link.href = url;
  link.download = fileName();
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 10000);
}

async function copyCommand() {
  const field = $("command");
  field.select();
  try {
    await navigator.clipboard.writeText(field.value);
  } catch {
    document.execCommand("copy");  // file:// pages may not reach the clipboard API
  }
}

function setUp(module) {
  window.zarn = makeApi(module);
  for (const { name, label } of PRESETS) $("preset").add(new Option(label, name));
  $("preset-field").hidden = PRESETS.length === 0;
  let pending = 0;
  // Typing redraws once per frame, however fast the keys come.
  const schedule = () => {
    cancelAnimationFrame(pending);
    pending = requestAnimationFrame(update);
  };
  $("form").addEventListener("input", schedule);
  $("form").addEventListener("change", schedule);
  $("form").addEventListener("submit", (e) => e.preventDefault());
  $("play").addEventListener("click", play);
  $("stop").addEventListener("click", stop);
  $("download").addEventListener("click", download);
  $("copy").addEventListener("click", copyCommand);
  window.addEventListener("resize", schedule);
  update();
  document.documentElement.dataset.ready = "true";
}

createZarnModule().then(setUp);
