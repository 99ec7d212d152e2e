// The JavaScript package against the executable: the same bytes, the same
// words, and a module that survives a failure.
//   node --test tests/js_package.mjs   with ZARN_JS_PACKAGE and ZARN_EXECUTABLE set
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync, spawnSync } from "node:child_process";
import { mkdtempSync, mkdirSync, readFileSync, existsSync, symlinkSync, copyFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";

const folder = process.env.ZARN_JS_PACKAGE;
const executable = process.env.ZARN_EXECUTABLE;
const missing = !folder || !existsSync(join(folder, "zarn_module.mjs")) || !executable;
// A passing run proves the package, so a missing one fails unless asked not to.
if (missing && !process.env.ZARN_SKIP_MISSING_TOOLS) {
  throw new Error(`no package in ${folder}: build it with cmake --workflow --preset web (emscripten)`);
}
const skip = missing;
const zarn = skip ? null : await import(pathToFileURL(join(folder, "index.js")));
const scratch = mkdtempSync(join(tmpdir(), "zarn-js-"));

// What the executable writes for `args`, with the file name before `after` (<freq>).
function run(args, after = []) {
  const file = join(scratch, "out.wav");
  const r = spawnSync(executable, [...args, file, ...after], { encoding: "latin1" });
  return { status: r.status, stderr: r.stderr, bytes: r.status === 0 ? readFileSync(file) : null };
}

const SAME = [
  [{ callsign: "Q1ABC", wpm: 20 }, ["Q1ABC", "20"]],
  [{ callsign: "q1abc/p", wpm: 13, tone: 600 }, ["q1abc/p", "13"], ["600"]],
  [{ message: "CQ DE Q1ABC <AR>", wpm: 25, rate: 8000, encoding: "s16" }, ["-r", "8000", "-e", "s16", "--text", "CQ DE Q1ABC <AR>", "25"]],
  [{ lines: ["HELLO", "WORLD"], wpm: 18, container: "raw", encoding: "ulaw" }, ["--raw", "-e", "ulaw", "--text", "HELLO WORLD", "18"]],
  [{ callsign: "Q1ABC", wpm: 20, preset: "svxlink", ramp: 2 }, ["-p", "svxlink", "--ramp", "2", "Q1ABC", "20"]],
  [{ callsign: "Q1ABC", wpm: 15, characterWpm: 20, wordGap: 9, volume: -6, lead: 100, tail: 250 },
   ["--farnsworth", "20", "--word-gap", "9", "--volume", "-6", "--lead", "100", "--tail", "250", "Q1ABC", "15"]],
  [{ message: "CQ |f700TEST", wpm: 20, noise: 3, bandwidth: 300, qsb: 12, qrm: 25, seed: "18446744073709551557", encoding: "s16" },
   ["--noise", "3", "--bandwidth", "300", "--qsb", "12", "--qrm", "25", "--seed", "18446744073709551557", "-e", "s16", "--text", "CQ |f700TEST", "20"]],
];

test("the package's bytes are the executable's", { skip }, async () => {
  for (const [request, args, after = []] of SAME) {
    const expected = run(args, after);
    assert.equal(expected.status, 0, expected.stderr);
    const { bytes } = await zarn.render(request);
    assert.deepEqual(Buffer.from(bytes), expected.bytes, JSON.stringify(request));
    assert.equal(await zarn.size(request), bytes.length);
    // The command-line form: the file name left out, the rest as typed.
    const cli = await zarn.renderArgs([...args, ...after]);
    assert.deepEqual(Buffer.from(cli.bytes), expected.bytes);
  }
});

// Each bad request with the executable's arguments for the same fault: the
// library's fault words must end the executable's diagnostic.
const REFUSED = [
  [{ callsign: "Q1ABC", wpm: NaN }, "BAD_VALUE", "wpm"],
  [{ callsign: "Q1ABC", wpm: 0 }, "BAD_VALUE", "wpm"],
  [{ callsign: "Q1ABC", wpm: 20, rate: 1000 }, "BAD_VALUE", "rate", ["-r", "1000", "Q1ABC", "20"]],
  [{ callsign: "Q1ABC", wpm: 20, ramp: -1 }, "BAD_VALUE", "ramp", ["--ramp", "-1", "Q1ABC", "20"]],
  [{ callsign: "Q1ABC", wpm: 20, encoding: "mp9" }, "BAD_VALUE", "mp9", ["-e", "mp9", "Q1ABC", "20"]],
  [{ callsign: "Q1ABC", wpm: 20, preset: "nowhere" }, "BAD_VALUE", "nowhere", ["-p", "nowhere", "Q1ABC", "20"]],
  // The package's build has no codecs, and says what it has.
  [{ callsign: "Q1ABC", wpm: 20, encoding: "mp3" }, "BAD_VALUE", "an encoding of this build: u8, s16, ulaw, alaw"],
  [{ callsign: "Q1ABC", wpm: 20, volume: null }, "BAD_VALUE", "volume"],
  [{ callsign: null, wpm: 20 }, "BAD_VALUE", "callsign"],
  [{ wpm: 20 }, null, ""],
  [{ callsign: "Q1ABC", wpm: 20, maxBytes: 100 }, "TOO_LARGE", ""],
  [{ callsign: "Q1ABC", wpm: 20, rate: 1.5 }, "BAD_VALUE", "rate"],
  [{ callsign: "Q1ABC", wpm: 20, loudness: 3 }, "BAD_VALUE", "loudness"],
];

test("bad requests give the library's words and status", { skip }, async () => {
  for (const [request, code, words, args] of REFUSED) {
    const error = await zarn.render(request).then(
      () => assert.fail(`accepted ${JSON.stringify(request)}`),
      (e) => e,
    );
    assert.ok(error instanceof zarn.ZarnError, String(error));
    if (code) assert.equal(error.code, code, error.message);
    assert.ok(error.message.length > 0 && error.message.includes(words), error.message);
    if (args) {
      const expected = run(args);
      assert.notEqual(expected.status, 0);
      // The library names the setting where the executable names the option.
      const fault = error.message.replace(/^.*?setting [^:]*: /, "");
      assert.ok(expected.stderr.endsWith(`: ${fault}\n`), `${expected.stderr} / ${error.message}`);
      const cli = await zarn.renderArgs(args);
      assert.equal(cli.status, expected.status);
      assert.equal(cli.diagnostic, expected.stderr.replace(/^[^:]*zarn: /, "zarn: "));
    }
  }
});

test("a failure midway leaves the module usable", { skip }, async () => {
  const good = await zarn.render({ callsign: "Q1ABC", wpm: 20 });
  const thrower = { callsign: "Q1ABC", get wpm() { throw new RangeError("from the caller"); } };
  for (let i = 0; i < 3; ++i) await assert.rejects(zarn.render(thrower), RangeError);
  // A sound far beyond the module's memory is refused in words, not a trap.
  const huge = await zarn.render({ message: "E".repeat(1 << 20), wpm: 1, rate: 192000, encoding: "s16" }).catch((e) => e);
  assert.ok(huge instanceof zarn.ZarnError && ["NO_MEMORY", "TOO_LARGE", "REFUSED"].includes(huge.code), String(huge));
  assert.deepEqual(await zarn.render({ callsign: "Q1ABC", wpm: 20 }), good);
});

test("version, encodings and the packed files", { skip }, async () => {
  const line = execFileSync(executable, ["--version"], { encoding: "utf8" });
  assert.ok(line.includes(zarn.version), line);
  assert.deepEqual(await zarn.encodings(), ["u8", "s16", "ulaw", "alaw"]);
  const pack = JSON.parse(execFileSync("npm", ["pack", "--dry-run", "--json", "--offline"], { cwd: folder, encoding: "utf8" }));
  const files = pack[0].files.map((f) => f.path).sort();
  assert.deepEqual(files, ["LICENSE", "README.md", "calls.js", "index.d.ts", "index.js", "package.json", "zarn_module.mjs"]);
  assert.equal(pack[0].version, zarn.version);
});

test("the example imports the package by its name and writes the executable's file", { skip }, () => {
  const place = mkdtempSync(join(tmpdir(), "zarn-example-"));
  mkdirSync(join(place, "node_modules"));
  symlinkSync(folder, join(place, "node_modules", "zarn"));
  copyFileSync(new URL("../examples/render.mjs", import.meta.url), join(place, "render.mjs"));
  execFileSync(process.execPath, [join(place, "render.mjs"), "Q1ABC", "20", join(place, "id.wav")]);
  assert.deepEqual(readFileSync(join(place, "id.wav")), run(["-p", "svxlink", "Q1ABC", "20"]).bytes);
});
