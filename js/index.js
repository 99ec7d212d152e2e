// zarn in JavaScript: a plain object in, the sound file's bytes out, through
// the library's typed requests (calls.js), so the bytes and the refusals are
// the executable's own.
import createZarnModule from "./zarn_module.mjs";
import { calls, ZarnError, STATUS } from "./calls.js";

export { ZarnError, STATUS };

// Room an idle instance may keep: a wasm memory never shrinks, so after a
// long sound the next call starts a fresh instance rather than hold it.
const KEPT_MEMORY = 64 << 20;

// A trap (out of memory inside the module, a fault) can leave the instance's
// memory in any state, so the next call gets a fresh one.
let instance = null;

async function guarded(call, ...args) {
  let m = null;
  try {
    m = await (instance ??= createZarnModule());
    return call(m, ...args);
  } catch (error) {
    // A refusal in the library's words leaves the instance as it was.
    if (!(error instanceof ZarnError)) m = null;
    throw error;
  } finally {
    if (m === null || m.HEAPU8.length > KEPT_MEMORY) instance = null;
  }
}

// The sound file of `settings`: { bytes: Uint8Array }. Throws a ZarnError
// with the library's words and status when it cannot be made.
export const render = (settings) => guarded(calls.render, settings);

// The exact size in bytes of the file `settings` make, without making it.
export const size = (settings) => guarded(calls.size, settings);

// The command line without the file name, as typed: { bytes, out,
// diagnostic, status }, exactly what the executable would write, print and
// exit with.
export const renderArgs = (args) => guarded(calls.renderArgs, args);

// The encodings this build makes.
export const encodings = () => guarded(calls.encodings);

// The library's version, "1.2.0".
export const version = await guarded(calls.version);
