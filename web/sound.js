// The sound file's samples, and the keying read back from them: what the
// page plays and draws is what the file holds, in the format it asked for.
"use strict";

const zarnSound = (() => {
  // G.711 as the standard decodes it, to 16-bit values.
  function ulawToLinear(code) {
    const u = ~code & 0xff;
    const magnitude = ((((u & 0x0f) << 3) + 0x84) << ((u & 0x70) >> 4)) - 0x84;
    return u & 0x80 ? -magnitude : magnitude;
  }

  function alawToLinear(code) {
    const a = code ^ 0x55;
    const segment = (a & 0x70) >> 4;
    let magnitude = ((a & 0x0f) << 4) + 8;
    if (segment > 0) magnitude = (magnitude + 0x100) << (segment - 1);
    return a & 0x80 ? magnitude : -magnitude;
  }

  const tables = {
    ulaw: Float32Array.from({ length: 256 }, (_, c) => ulawToLinear(c) / 32768),
    alaw: Float32Array.from({ length: 256 }, (_, c) => alawToLinear(c) / 32768),
  };

  // The samples of `data` in `encoding`, from -1 to 1.
  function decode(data, encoding) {
    if (encoding === "s16") {
      const view = new DataView(data.buffer, data.byteOffset, data.byteLength);
      const out = new Float32Array(data.length >> 1);
      for (let i = 0; i < out.length; i++) out[i] = view.getInt16(2 * i, true) / 32768;
      return out;
    }
    if (encoding === "u8") return Float32Array.from(data, (b) => (b - 128) / 128);
    return Float32Array.from(data, (b) => tables[encoding][b]);
  }

  // A WAV file's rate, encoding and sample bytes, from its chunks.
  function readWav(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const tag = (at) => String.fromCharCode(...bytes.subarray(at, at + 4));
    if (bytes.length < 12 || tag(0) !== "RIFF" || tag(8) !== "WAVE") return null;
    let format = null;
    for (let at = 12; at + 8 <= bytes.length; ) {
      const size = view.getUint32(at + 4, true);
      const body = at + 8;
      if (tag(at) === "fmt ") {
        const code = view.getUint16(body, true);
        const bits = view.getUint16(body + 14, true);
        const encoding = { 1: bits === 16 ? "s16" : "u8", 6: "alaw", 7: "ulaw" }[code];
        format = { rate: view.getUint32(body + 4, true), encoding };
      } else if (tag(at) === "data" && format) {
        return { ...format, data: bytes.subarray(body, Math.min(body + size, bytes.length)) };
      }
      at = body + size + (size & 1);
    }
    return null;
  }

  // The sample bytes of a sound whose format the page asked for: raw bytes
  // are all samples, a WAV file's are its data chunk.
  function sampleBytes(bytes, format) {
    if (format.raw) return bytes;
    const wav = readWav(bytes);
    return wav ? wav.data : new Uint8Array(0);
  }

  // |sample| of each byte value of the one-byte encodings, from 0 to 1.
  const magnitudeTables = {
    u8: Float32Array.from({ length: 256 }, (_, b) => Math.abs(b - 128) / 128),
    ulaw: tables.ulaw.map(Math.abs),
    alaw: tables.alaw.map(Math.abs),
  };

  // The samples' magnitudes, read in place: a long sound is never decoded
  // whole.
  function magnitudes(data, encoding) {
    if (encoding === "s16") {
      const view = new DataView(data.buffer, data.byteOffset, data.byteLength);
      return { length: data.length >> 1, at: (i) => Math.abs(view.getInt16(2 * i, true)) / 32768 };
    }
    const table = magnitudeTables[encoding];
    return { length: data.length, at: (i) => table[data[i]] };
  }

  // Key-down runs [start, end) in samples, in two passes over the bytes. A
  // tone crosses zero within each cycle, so dips shorter than half a Morse
  // unit stay inside the run.
  function keyRuns(data, encoding, unitSamples) {
    const level = magnitudes(data, encoding);
    let peak = 0;
    for (let i = 0; i < level.length; i++) peak = Math.max(peak, level.at(i));
    const floor = 8 / 32768;  // A-law has no zero: its silence is this
    if (peak <= floor) return [];
    const threshold = floor + (peak - floor) * 0.1;
    const bridge = Math.max(1, unitSamples / 2);
    const runs = [];
    let start = -1;
    let last = -Infinity;
    for (let i = 0; i < level.length; i++) {
      if (level.at(i) <= threshold) continue;
      if (i - last > bridge) {
        if (start >= 0) runs.push([start, last + 1]);
        start = i;
      }
      last = i;
    }
    if (start >= 0) runs.push([start, last + 1]);
    return runs;
  }

  // Dots and dashes with a blank between letters and " / " between words.
  function pattern(runs, unitSamples) {
    let text = "";
    let letterGap = Infinity;
    for (let i = 1; i < runs.length; i++) {
      const gap = runs[i][0] - runs[i - 1][1];
      if (gap >= 2 * unitSamples) letterGap = Math.min(letterGap, gap);
    }
    runs.forEach(([start, end], i) => {
      if (i > 0) {
        const gap = start - runs[i - 1][1];
        if (gap >= 2 * letterGap) text += " / ";
        else if (gap >= 2 * unitSamples) text += " ";
      }
      text += end - start < 2 * unitSamples ? "\u00b7" : "\u2212";
    });
    return text;
  }

  return { decode, sampleBytes, keyRuns, pattern };
})();
