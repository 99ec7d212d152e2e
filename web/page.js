// The page: the form as the command line's arguments, the library's run in
// the wasm module, and what it gives back shown, played and saved.
"use strict";

// Presets of the command line: adding one is one line here. The page has
// no GSM coder, so asterisk-gsm is not offered.
const PRESETS = [
  { name: "svxlink", label: "svxlink: 16 kHz 16-bit WAV" },
  { name: "asterisk", label: "Asterisk: 8 kHz mu-law, raw (.ul)" },
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

// Raw samples are named by their encoding, as sox and Asterisk read them.
const RAW_EXTENSIONS = { u8: "u8", s16: "s16", ulaw: "ul", alaw: "al", gsm: "gsm" };
const ENCODING_WORDS = { u8: "8-bit", s16: "16-bit", ulaw: "mu-law", alaw: "A-law", gsm: "GSM" };
const NUMBER_STATUSES = [24, 59, 64];
// The largest sound the page makes. It is in the module's memory while it is
// made and once more in the page's copy, a third time while a download is
// built; the module's memory ends at 2 GiB, and a tab holding much more than
// a GiB or two may be killed. The command line has no such bound.
const MAX_PAGE_BYTES = 512 * 2 ** 20;

const $ = (id) => document.getElementById(id);

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
  for (const { id, option, unset } of OPTIONS) {
    if (value(id) !== unset) args.push(option, value(id));
    // After the preset, which sets the header too: the later option wins.
    if (id === "preset" && $("raw").checked) args.push("--raw");
  }
  const callsign = value("callsign");
  // A callsign that starts with '-' would read as an option.
  if (callsign.startsWith("-")) args.push("--");
  args.push(callsign, value("wpm"));
  if (value("freq").trim() !== "") args.push(value("freq"));
  return args;
}

// The name says the format the run was asked for (`plan`), or, before one is
// known, the format the form asks for.
function fileName(plan) {
  const words = value("callsign").trim().split(/\s+/);
  const base = (isMessage() ? words.slice(0, 4).join("-") : words[0].slice(0, 10))
    .replace(/\//g, "-").replace(/[^A-Za-z0-9-]/g, "").slice(0, 40) || "zarn-id";
  const raw = plan ? plan.raw : $("raw").checked;
  return base + "." + (raw ? RAW_EXTENSIONS[plan ? plan.encoding : value("encoding")] : "wav");
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

// The latest sound, with the plan it was made from: what Play and Download
// use. Null whenever the form shows no sound.
let current = null;
let playing = null;

// The picture's widest canvas: a summary of the keying, column by column.
const MAX_COLUMNS = 4000;
const TICK_STEPS = [0.5, 1, 5, 10, 30, 60, 300, 600, 1800, 3600, 7200, 18000, 36000, 86400];

function tickLabel(t, step) {
  if (step < 60) return t + " s";
  return step < 3600 ? t / 60 + " min" : t / 3600 + " h";
}

function drawKeying(runs, total, rate) {
  const canvas = $("keying");
  const box = $("keying-box");
  const seconds = total / rate;
  // Long messages scroll rather than squeeze their dots together.
  const width = Math.max(box.clientWidth, Math.min(MAX_COLUMNS, Math.ceil(seconds * 120)));
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
  let step = seconds > 20 ? 5 : seconds > 4 ? 1 : 0.5;
  while ((step / seconds) * width < 48 && step < TICK_STEPS[TICK_STEPS.length - 1]) {
    step = TICK_STEPS.find((s) => s > step);
  }
  for (let t = 0; t <= seconds; t += step) {
    const x = Math.min(width - 1, (t / seconds) * width);
    g.fillRect(x, 50, 1, 5);
    g.fillText(tickLabel(t, step), Math.min(x + 2, width - 36), 63);
  }
  // A column is keyed when any key-down falls in it.
  const keyed = new Uint8Array(width);
  for (const [start, end] of runs) {
    const last = Math.min(width - 1, Math.ceil((end / total) * width) - 1);
    for (let x = Math.floor((start / total) * width); x <= last; x++) keyed[x] = 1;
  }
  g.fillStyle = style.getPropertyValue("--key").trim();
  for (let x = 0; x < width; x++) {
    if (!keyed[x]) continue;
    const from = x;
    while (x + 1 < width && keyed[x + 1]) x++;
    g.fillRect(from, 14, x + 1 - from, 26);
  }
}

function formatWords(plan) {
  const encoding = ENCODING_WORDS[plan.encoding] || plan.encoding;
  return plan.raw ? `raw ${encoding} samples at ${plan.rate} Hz` : `WAV, ${encoding} at ${plan.rate} Hz`;
}

function bytesPerSample(plan) {
  return plan.encoding === "s16" ? 2 : 1;
}

function showSound(result, plan, milliseconds) {
  const data = zarnSound.sampleBytes(result.bytes, plan);
  const count = Math.floor(data.length / bytesPerSample(plan));
  const unit = Math.max(1, Math.round(plan.unitSeconds * plan.rate));
  const runs = zarnSound.keyRuns(data, plan.encoding, unit);
  const pattern = zarnSound.pattern(runs, unit);
  const seconds = count / plan.rate;
  drawKeying(runs, count || 1, plan.rate);
  $("keying").setAttribute("aria-label", `Keying over ${seconds.toFixed(2)} seconds: ${pattern}`);
  $("pattern").textContent = pattern;
  const name = fileName(plan);
  $("summary").textContent = `${seconds.toFixed(2)} s, ${result.bytes.length.toLocaleString("en")} bytes ` +
    `(${name}: ${formatWords(plan)}), made in ${milliseconds.toFixed(1)} ms.`;
  current = { bytes: result.bytes, data, plan, name };
}

function showNothing(field, text) {
  showRefusal(field, text);
  $("summary").textContent = "Nothing to play or download: " + text;
  $("pattern").textContent = "";
  drawKeying([], 1, 1);
  $("keying").setAttribute("aria-label", "No keying");
}

function tooLarge(size) {
  const mib = (bytes) => (bytes / 2 ** 20).toLocaleString("en", { maximumFractionDigits: 0 });
  return `This sound would be ${size.toLocaleString("en")} bytes (${mib(size)} MiB); the page makes ` +
    `at most ${mib(MAX_PAGE_BYTES)} MiB, more than that may not fit in a browser tab. ` +
    "The command line below writes it.";
}

function update() {
  $("callsign-label").textContent = isMessage() ? "Message" : "Callsign";
  $("callsign-hint").textContent = isMessage()
    ? "Letters of any script zarn knows (Latin, Cyrillic, Greek, Hebrew, Arabic, kana), digits, blanks, . , : ? ' - / ( ) \" = + @ and prosigns such as <AR>."
    : "Letters, digits and /; the first 10 count.";
  stop();
  current = null;
  $("download").disabled = $("play").disabled = true;
  const args = formArguments();
  $("command").value = commandLine(args, fileName(null));
  const started = performance.now();
  try {
    const plan = zarnModule.plan(args);
    $("command").value = commandLine(args, fileName(plan));
    if (plan && plan.size > MAX_PAGE_BYTES) return showNothing("wpm", tooLarge(plan.size));
    const result = window.zarn.render(args);
    if (result.status !== 0 || result.bytes.length === 0 || !plan) {
      const text = (result.diagnostic || result.out).trim();
      return showNothing(fieldOf(result.diagnostic, result.status), text);
    }
    showRefusal(null, "");
    showSound(result, plan, performance.now() - started);
    $("download").disabled = $("play").disabled = false;
  } catch (failure) {
    // The module is fresh again for the next change; this one has no sound.
    showNothing("general", `The page could not make this sound (${failure.message || failure}).`);
  }
}

function stop() {
  if (playing) playing.close();
  playing = null;
  $("stop").disabled = true;
}

// Seconds of sound decoded at a time: a long sound is played piece by piece,
// never decoded whole.
const PIECE_SECONDS = 10;

function play() {
  if (!current) return;
  stop();
  const { data, plan } = current;
  const width = bytesPerSample(plan);
  const total = Math.floor(data.length / width);
  const context = new AudioContext({ sampleRate: plan.rate });
  const startAt = context.currentTime + 0.05;
  let next = 0;
  let active = 0;
  const finish = () => {
    if (playing === context) stop();
  };
  const queue = () => {
    if (next >= total || context.state === "closed") return;
    const count = Math.min(PIECE_SECONDS * plan.rate, total - next);
    const piece = data.subarray(next * width, (next + count) * width);
    const buffer = context.createBuffer(1, count, plan.rate);
    buffer.copyToChannel(zarnSound.decode(piece, plan.encoding), 0);
    const source = context.createBufferSource();
    source.buffer = buffer;
    source.connect(context.destination);
    source.start(startAt + next / plan.rate);
    next += count;
    active++;
    source.onended = () => {
      active--;
      queue();
      if (active === 0) finish();
    };
  };
  playing = context;
  $("stop").disabled = false;
  // One piece ahead of the one playing, so the next is ready in time.
  queue();
  queue();
}

function download() {
  if (!current) return;
  const url = URL.createObjectURL(new Blob([current.bytes], { type: "application/octet-stream" }));
  const link = document.createElement("a");
  link.href = url;
  link.download = current.name;
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

function setUp() {
  window.zarn = { render: zarnModule.render };
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

zarnModule.start().then(setUp);
