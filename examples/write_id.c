/* Writes a station identification through zarn's typed interface, in
 * blocks, as a repeater controller would: `write_id CALLSIGN WPM FILE`.
 *
 *   cc write_id.c $(pkg-config --cflags --libs zarn) -o write_id
 */
#include <stdio.h>
#include <stdlib.h>
#include <zarn.h>

/* Each block as it comes: the whole sound is never in memory at once. */
static int write_block(void *context, const unsigned char *bytes, size_t size) {
  return fwrite(bytes, 1, size, (FILE *)context) == size ? 0 : 1;
}

int main(int argc, char **argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: %s CALLSIGN WPM FILE\n", argv[0]);
    return 2;
  }
  zarn_request *request = zarn_request_new();
  if (request == NULL) return 1;
  zarn_status status = zarn_request_set_callsign(request, argv[1]);
  if (status == ZARN_OK) status = zarn_request_set_wpm(request, atof(argv[2]));
  if (status == ZARN_OK) status = zarn_request_set_preset(request, "svxlink");
  if (status == ZARN_OK) status = zarn_request_set_max_bytes(request, 10u << 20);
  FILE *out = status == ZARN_OK ? fopen(argv[3], "wb") : NULL;
  if (out != NULL) {
    status = zarn_request_stream(request, write_block, out);
    if (fclose(out) != 0 && status == ZARN_OK) status = ZARN_FAILED;
  }
  if (status != ZARN_OK) fprintf(stderr, "%s: %s\n", argv[0], zarn_request_error(request));
  zarn_request_free(request);
  return status == ZARN_OK && out != NULL ? 0 : 1;
}
