/* A C program of the library's users: `library_client FILE ARGS...` writes
 * what zarn_render makes of ARGS (the command line without its file name)
 * to FILE, prints its texts where the executable would, and exits with its
 * status. */
#include <stdio.h>
#include <zarn.h>

int main(int argc, char **argv) {
  if (argc < 2) return 100;
  zarn_result r;
  const int status = zarn_render(argc - 2, (const char *const *)argv + 2, &r);
  if (r.bytes != NULL) {
    FILE *f = fopen(argv[1], "wb");
    if (f == NULL || fwrite(r.bytes, 1, r.size, f) != r.size || fclose(f) != 0) return 101;
  }
  fputs(r.out, stdout);
  fputs(r.diagnostic, stderr);
  zarn_result_free(&r);
  return status;
}
