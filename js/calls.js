// The calls of zarn.h on one instance of the wasm module: a plain object or
// the command line's words in, the sound file's bytes out, so the bytes and
// the refusals are the executable's own. The package (index.js) and the web
// page (built from this file) each keep their instance in their own way.
// Written so that without its `export` words it is a plain script: the page
// opens from file://, where a browser runs no module.

// The library's statuses (zarn.h), by number.
export const STATUS = Object.freeze({
  1: "BAD_ARGUMENT",
  2: "BAD_VALUE",
  3: "REFUSED",
  4: "TOO_LARGE",
  5: "NO_MEMORY",
  6: "STOPPED",
  7: "READ_FAILED",
  8: "FAILED",
});

export class ZarnError extends Error {
  constructor(status, words) {
    super(words);
    this.name = "ZarnError";
    this.status = status;
    this.code = STATUS[status] ?? "FAILED";
  }
}

// A NUL-terminated UTF-8 copy in the module's memory, freed after `use`;
// null and undefined go in as NULL, for the library to refuse in its words.
function withString(m, text, use) {
  if (text === null || text === undefined) return use(0, 0);
  const value = String(text);
  const length = m.lengthBytesUTF8(value);
  const pointer = m._malloc(length + 1);
  if (pointer === 0) throw new ZarnError(5, "out of memory for the text");
  try {
    m.stringToUTF8(value, pointer, length + 1);
    return use(pointer, length);
  } finally {
    m._free(pointer);
  }
}

function withMemory(m, bytes, use) {
  const pointer = m._malloc(bytes);
  if (pointer === 0) throw new ZarnError(5, "out of memory");
  try {
    m.HEAPU8.fill(0, pointer, pointer + bytes);
    return use(pointer);
  } finally {
    m._free(pointer);
  }
}

// Anything that is not a number reaches the library as NaN, which it
// refuses with the setting's name.
const number = (value) => (typeof value === "number" ? value : NaN);

const text = (setter) => (m, q, value) =>
  withString(m, value, (pointer, length) => m[setter](q, pointer, length));
const name = (setter) => (m, q, value) => withString(m, value, (pointer) => m[setter](q, pointer));
const real = (setter) => (m, q, value) => m[setter](q, number(value));

// The rate is a C long (32 bits here): a value the conversion would wrap or
// round is refused before it gets there.
function rate(m, q, value) {
  const hz = number(value);
  if (Number.isInteger(hz) && Math.abs(hz) <= 0x7fffffff) return m._zarn_request_set_rate(q, hz);
  throw new ZarnError(2, `rate ${value}: a whole number of Hz`);
}

function maxBytes(m, q, value) {
  const bytes = number(value);
  if (!Number.isSafeInteger(bytes) || bytes < 0) {
    throw new ZarnError(2, `maxBytes ${value}: a whole number of bytes, 0 for no limit`);
  }
  // A 64-bit argument arrives as its low and high halves.
  return m._zarn_request_set_max_bytes(q, bytes % 2 ** 32, Math.floor(bytes / 2 ** 32));
}

// A seed is 64 bits, as a key file writes it: a BigInt or its decimal
// digits beyond 2^53, or a safe whole number.
function seed(m, q, value) {
  let n = null;
  if (typeof value === "bigint") n = value;
  else if (typeof value === "string" && /^[0-9]{1,20}$/.test(value)) n = BigInt(value);
  else if (Number.isSafeInteger(value) && value >= 0) n = BigInt(value);
  if (n === null || n < 0n || n >= 2n ** 64n) {
    throw new ZarnError(2, `seed ${value}: a whole number from 0 to 18446744073709551615`);
  }
  return m._zarn_request_set_seed(q, Number(n & 0xffffffffn), Number(n >> 32n));
}

// In the order they are applied: the preset first, so that settings given
// beside it change what it set, as on the command line.
const SETTERS = [
  ["preset", name("_zarn_request_set_preset")],
  ["callsign", name("_zarn_request_set_callsign")],
  ["message", text("_zarn_request_set_message")],
  ["lines", (m, q, v) => text("_zarn_request_set_message_lines")(m, q, Array.isArray(v) ? v.join("\n") : v)],
  ["wpm", real("_zarn_request_set_wpm")],
  ["tone", real("_zarn_request_set_tone_hz")],
  ["rate", rate],
  ["encoding", name("_zarn_request_set_encoding")],
  ["container", name("_zarn_request_set_container")],
  ["ramp", real("_zarn_request_set_ramp_ms")],
  ["characterWpm", real("_zarn_request_set_character_wpm")],
  ["wordGap", real("_zarn_request_set_word_gap")],
  ["volume", real("_zarn_request_set_volume_db")],
  ["lead", real("_zarn_request_set_lead_ms")],
  ["tail", real("_zarn_request_set_tail_ms")],
  ["noise", real("_zarn_request_set_noise_db")],
  ["bandwidth", real("_zarn_request_set_bandwidth_hz")],
  ["qsb", real("_zarn_request_set_qsb_db")],
  ["qsbRate", real("_zarn_request_set_qsb_rate_hz")],
  ["qrm", real("_zarn_request_set_qrm_wpm")],
  ["seed", seed],
  ["maxBytes", maxBytes],
];
const KNOWN = new Set(SETTERS.map(([key]) => key));

function check(m, q, status) {
  if (status !== 0) throw new ZarnError(status, m.UTF8ToString(m._zarn_request_error(q)));
}

// A request made from `settings`, handed to `use`, and always freed.
function withRequest(m, settings, use) {
  if (settings === null || typeof settings !== "object") {
    throw new ZarnError(1, "a request is an object of settings");
  }
  for (const key of Object.keys(settings)) {
    if (!KNOWN.has(key)) throw new ZarnError(2, `unknown setting: ${key}`);
  }
  const q = m._zarn_request_new();
  if (q === 0) throw new ZarnError(5, "out of memory for the request");
  try {
    for (const [key, set] of SETTERS) {
      if (settings[key] !== undefined) check(m, q, set(m, q, settings[key]));
    }
    return use(q);
  } finally {
    m._zarn_request_free(q);
  }
}

// The sound file of `settings`: { bytes: Uint8Array }. Throws a ZarnError
// with the library's words and status when it cannot be made.
function render(m, settings) {
  return withRequest(m, settings, (q) =>
    withMemory(m, 8, (buffer) => {
      const status = m._zarn_request_render(q, buffer);
      try {
        check(m, q, status);
        const [bytes, size] = m.HEAPU32.subarray(buffer >> 2, (buffer >> 2) + 2);
        return { bytes: m.HEAPU8.slice(bytes, bytes + size) };
      } finally {
        m._zarn_buffer_free(buffer);
      }
    }),
  );
}

// The exact size in bytes of the file `settings` make, without making it.
function size(m, settings) {
  return withRequest(m, settings, (q) =>
    withMemory(m, 8, (out) => {
      check(m, q, m._zarn_request_size(q, out));
      const [low, high] = m.HEAPU32.subarray(out >> 2, (out >> 2) + 2);
      return high * 2 ** 32 + low;
    }),
  );
}

// `args` as C's argc and argv in the module's memory, for `use`.
export function withArgs(m, args, use) {
  const list = Array.from(args ?? [], String);
  return withMemory(m, 4 * Math.max(list.length, 1), (argv) => {
    const strings = [];
    try {
      for (const arg of list) {
        const length = m.lengthBytesUTF8(arg);
        const pointer = m._malloc(length + 1);
        if (pointer === 0) throw new ZarnError(5, "out of memory for the arguments");
        strings.push(pointer);
        m.stringToUTF8(arg, pointer, length + 1);
      }
      m.HEAPU32.set(strings, argv >> 2);
      return use(list.length, argv);
    } finally {
      for (const pointer of strings) m._free(pointer);
    }
  });
}

// The command line without the file name, as typed: { bytes, out,
// diagnostic, status }, exactly what the executable would write, print and
// exit with; bytes is null when it would write no file.
function renderArgs(m, args) {
  return withArgs(m, args, (argc, argv) =>
    withMemory(m, 20, (result) => {
      m._zarn_render(argc, argv, result);
      try {
        const [bytes, size, out, diagnostic, status] = m.HEAP32.subarray(result >> 2, (result >> 2) + 5);
        return {
          bytes: bytes === 0 ? null : m.HEAPU8.slice(bytes >>> 0, (bytes >>> 0) + (size >>> 0)),
          out: m.UTF8ToString(out),
          diagnostic: m.UTF8ToString(diagnostic),
          status,
        };
      } finally {
        m._zarn_result_free(result);
      }
    }),
  );
}

const ENCODINGS = ["u8", "s16", "ulaw", "alaw", "gsm", "mp3", "vorbis", "opus", "flac"];

// The encodings this build makes.
function encodings(m) {
  return ENCODINGS.filter((encoding) => withString(m, encoding, (pointer) => m._zarn_has_encoding(pointer) !== 0));
}

// The library's version, "1.2.0".
function version(m) {
  return m.UTF8ToString(m._zarn_version());
}

// The calls, each taking the module instance first.
export const calls = Object.freeze({ render, size, renderArgs, encodings, version });
