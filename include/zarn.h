/* zarn as a library: the sound file the command line would write, made in
 * memory.
 *
 *   const char *args[] = {"--ramp", "5", "Q1ABC", "20"};
 *   zarn_result r;
 *   if (zarn_render(4, args, &r) == 0) fwrite(r.bytes, 1, r.size, f);
 *   else fputs(r.diagnostic, stderr);
 *   zarn_result_free(&r);
 *
 * Link with `pkg-config --cflags --libs zarn`. There is no global state:
 * calls from several threads at once are safe. */
#ifndef ZARN_H
#define ZARN_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Everything one run of the command line leaves behind. */
typedef struct zarn_result {
  /* The bytes the executable would write to its file, allocated for the
   * caller; NULL when it would write none (a refusal, the usage line,
   * --help, --version). */
  unsigned char *bytes;
  size_t size;
  /* What it would print on standard output: the usage line, --help or
   * --version; "" otherwise. Never NULL. */
  const char *out;
  /* What it would print on standard error, with its newline; "" on
   * success. Never NULL. */
  const char *diagnostic;
  /* Its exit status: 0, or the status of `diagnostic`. */
  int status;
} zarn_result;

/* Runs the command line `zarn args...` without the file name: the options,
 * <callsign>, <wpm> and optionally <freq>, exactly as they would be typed.
 * Fills `result` and returns its status. A NULL argument counts as "", a
 * NULL `argv` as no arguments; with a NULL `result` nothing runs and the
 * return is -1.
 *
 * Only memory can fail where a file could: a sound too large for it ends
 * with status 38 and the executable's write-error lines, which name the
 * file "(memory)" in the current folder. */
int zarn_render(int argc, const char *const *argv, zarn_result *result);

/* Frees what zarn_render allocated and clears `result`; NULL is ignored. */
void zarn_result_free(zarn_result *result);

#ifdef __cplusplus
}
#endif

#endif /* ZARN_H */
