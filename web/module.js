// The wasm module behind the page: compiled once, run in one instance at a
// time. A call that throws (a trap, an abort, a JS error inside it) may
// leave that instance's stack and heap in any state, so the next call gets a
// fresh one; so does the call after a long sound, because a wasm memory never
// shrinks and the tab would keep the long sound's room for good.
"use strict";

const zarnModule = (() => {
  // Room an idle instance may keep: a few long messages' worth.
  const KEPT_MEMORY = 64 << 20;
  let compiled = null;
  let live = null;

  function instantiate() {
    const module = {
      instantiateWasm(imports, receive) {
        receive(new WebAssembly.Instance(compiled, imports), compiled);
        return {};
      },
    };
    // Given its instance at once, the factory finishes before it returns.
    createZarnModule(module);
    if (!module.calledRun) throw new Error("the wasm module did not start");
    return module;
  }

  async function start() {
    const bytes = Uint8Array.from(atob(zarnWasm), (c) => c.charCodeAt(0));
    compiled = await WebAssembly.compile(bytes);
    live = instantiate();
  }

  // call(module) on the live instance; a fresh one for the next call when
  // this one threw or grew.
  function use(call) {
    let spent = true;
    try {
      const answer = call(live);
      spent = live.HEAPU8.length > KEPT_MEMORY;
      return answer;
    } finally {
      if (spent) live = instantiate();
    }
  }

  // The C library's zarn_render through the package's call: {bytes, status,
  // diagnostic, out}, bytes empty when there is no file.
  function render(args) {
    return use((module) => {
      const answer = zarnCalls.calls.renderArgs(module, args);
      return { ...answer, bytes: answer.bytes ?? new Uint8Array(0) };
    });
  }

  // What render(args) would give, without making it: {size, unitSeconds,
  // rate, encoding, raw}, or null when the run would stop before its sound.
  function plan(args) {
    return use((module) => zarnCalls.withArgs(module, args, (argc, argv) => {
      const at = module._malloc(32);  // zarn_web_plan: two doubles, three 4-byte fields
      try {
        if (!module._zarn_web_plan_of(argc, argv, at)) return null;
        const [rate, encoding, raw] = module.HEAP32.subarray((at >> 2) + 4, (at >> 2) + 7);
        return {
          size: module.HEAPF64[at >> 3],
          unitSeconds: module.HEAPF64[(at >> 3) + 1],
          rate,
          encoding: module.UTF8ToString(encoding),
          raw: raw === 1,
        };
      } finally {
        module._free(at);
      }
    }));
  }

  return { start, render, plan };
})();
