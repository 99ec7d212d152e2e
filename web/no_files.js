// The page has no files and no standard input. Emscripten's stubs for the
// file-system calls either report success over an unfilled buffer or throw
// through the module, which leaves it unusable; here every one of them fails
// at once, as on a system where no file exists, so the run says so in words.
(() => {
  const library = LibraryManager.library;
  const failures = {};
  for (const name of Object.keys(library)) {
    // Not the directives beside them (__deps, __sig).
    if (!/^(__syscall|fd)_[a-z0-9]+(_[a-z0-9]+)*$/.test(name)) continue;
    // A system call returns minus its error; a WASI call returns the error.
    failures[name] = name.startsWith("fd_")
      ? function () { return {{{ cDefine('EBADF') }}}; }
      : function () { return -{{{ cDefine('ENOENT') }}}; };
    failures[name + "__deps"] = [];
  }
  mergeInto(library, failures);
})();
