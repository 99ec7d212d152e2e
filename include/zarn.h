/* zarn as a library: Morse identifications and messages as sound files,
 * made in memory or handed to the caller a block at a time.
 *
 *   zarn_request *q = zarn_request_new();
 *   zarn_request_set_callsign(q, "Q1ABC");
 *   zarn_request_set_wpm(q, 20);
 *   zarn_request_set_ramp_ms(q, 5);
 *   zarn_buffer b;
 *   if (zarn_request_render(q, &b) == ZARN_OK) fwrite(b.bytes, 1, b.size, f);
 *   else fprintf(stderr, "%s\n", zarn_request_error(q));
 *   zarn_buffer_free(&b);
 *   zarn_request_free(q);
 *
 * Link with `pkg-config --cflags --libs zarn` (static) or against
 * libzarn.so.1. The library never prints, never exits or aborts, installs no
 * signal handler, reads no file unless zarn_request_set_message_file names
 * one, and changes no process state. There is no global state: requests
 * used by one thread each may be rendered from several threads at once.
 * Settings added in later releases are new functions; none of these
 * changes. */
#ifndef ZARN_H
#define ZARN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define ZARN_API __attribute__((visibility("default")))
#else
#define ZARN_API
#endif

/* What a call did. Every status but ZARN_OK comes with words, from
 * zarn_request_error(), that a caller can show as they are. */
typedef enum zarn_status {
  ZARN_OK = 0,
  ZARN_BAD_ARGUMENT = 1, /* a NULL where a value is needed */
  ZARN_BAD_VALUE = 2,    /* a setting's value is out of range or unknown */
  ZARN_REFUSED = 3,      /* the request cannot make a usable sound */
  ZARN_TOO_LARGE = 4,    /* above a limit the caller set */
  ZARN_NO_MEMORY = 5,    /* memory for the sound could not be had */
  ZARN_STOPPED = 6,      /* the write callback asked to stop */
  ZARN_READ_FAILED = 7,  /* the message file named could not be read */
  ZARN_FAILED = 8        /* anything else, in words */
} zarn_status;

/* The library's version, "1.2.0". */
ZARN_API const char *zarn_version(void);

/* Whether this build makes `encoding` ("u8", "s16", "ulaw", "alaw", "gsm",
 * "mp3", "vorbis", "opus", "flac");
 * 0 for a name it does not know or a codec it was built without. */
ZARN_API int zarn_has_encoding(const char *encoding);

/* One request: what is sent and how it sounds. Made with every setting at
 * its default (the classic 8-bit WAV at 11025 Hz, the default tone) and no
 * text. NULL when memory runs out. */
typedef struct zarn_request zarn_request;
ZARN_API zarn_request *zarn_request_new(void);
ZARN_API void zarn_request_free(zarn_request *request);

/* The words of the request's last failure, without a line end; "" after a
 * success. Valid until the next call on the request. Never NULL. */
ZARN_API const char *zarn_request_error(const zarn_request *request);

/* What is sent: a callsign (its first 10 characters, a blank ends it), a
 * message (one line, UTF-8, with punctuation and prosigns such as <AR>),
 * message lines (line ends are blanks, as in a file), or the text of a file
 * the caller names and so allows to be read. The last one set counts. */
ZARN_API zarn_status zarn_request_set_callsign(zarn_request *request, const char *callsign);
ZARN_API zarn_status zarn_request_set_message(zarn_request *request, const char *text,
                                              size_t length);
ZARN_API zarn_status zarn_request_set_message_lines(zarn_request *request, const char *text,
                                                    size_t length);
ZARN_API zarn_status zarn_request_set_message_file(zarn_request *request, const char *path);

/* Speed in words per minute, above 0 (read in single precision, as the
 * command line reads it); the tone in Hz, 0 for the default. */
ZARN_API zarn_status zarn_request_set_wpm(zarn_request *request, double wpm);
ZARN_API zarn_status zarn_request_set_tone_hz(zarn_request *request, double hz);

/* The sound: each as the command line's option of the same name. */
ZARN_API zarn_status zarn_request_set_rate(zarn_request *request, long hz);
ZARN_API zarn_status zarn_request_set_encoding(zarn_request *request, const char *name);
/* A compressed encoding (mp3, vorbis, opus, flac, where zarn_has_encoding
 * says the build has it) sets the rate its codec suits, as the command line
 * without -r does; set the rate after it to change that. */
/* A lossy encoding's bitrate in kbps, as --bitrate; 0 for its default. */
ZARN_API zarn_status zarn_request_set_bitrate(zarn_request *request, long kbps);
/* A tag, as --title and the others: "title", "artist", "album", "track" or
 * "comment", and its UTF-8 text ("" for none). */
ZARN_API zarn_status zarn_request_set_tag(zarn_request *request, const char *name,
                                          const char *text);
/* "wav" or "raw" (the samples alone). */
ZARN_API zarn_status zarn_request_set_container(zarn_request *request, const char *name);
ZARN_API zarn_status zarn_request_set_ramp_ms(zarn_request *request, double ms);
ZARN_API zarn_status zarn_request_set_character_wpm(zarn_request *request, double wpm);
ZARN_API zarn_status zarn_request_set_word_gap(zarn_request *request, double units);
ZARN_API zarn_status zarn_request_set_volume_db(zarn_request *request, double db);
ZARN_API zarn_status zarn_request_set_lead_ms(zarn_request *request, double ms);
ZARN_API zarn_status zarn_request_set_tail_ms(zarn_request *request, double ms);
/* Beacons, each as its option: the dot in seconds in place of the wpm (the
 * speed set last counts), "on-off", "fsk" or "dfcw", the shift, DFCW's
 * element gap in dots, a carrier in seconds (non-zero `first`: before the
 * message), the copies and the seconds between them. */
ZARN_API zarn_status zarn_request_set_dot_seconds(zarn_request *request, double seconds);
ZARN_API zarn_status zarn_request_set_mode(zarn_request *request, const char *name);
ZARN_API zarn_status zarn_request_set_shift_hz(zarn_request *request, double hz);
ZARN_API zarn_status zarn_request_set_element_gap(zarn_request *request, double dots);
ZARN_API zarn_status zarn_request_set_carrier_seconds(zarn_request *request, double seconds);
ZARN_API zarn_status zarn_request_set_carrier_first(zarn_request *request, int first);
ZARN_API zarn_status zarn_request_set_repeat(zarn_request *request, long copies);
ZARN_API zarn_status zarn_request_set_repeat_gap_seconds(zarn_request *request, double seconds);
/* Band conditions, each as its option: noise at a signal-to-noise ratio in
 * dB (-20 to 40) in a filter of `bandwidth` Hz around the tone (50 to 4000,
 * 500 unless set), and fading of the signal down to `depth_db` (above 0 up
 * to 60) at `hz` fades a second (0.01 to 10, 0.2 unless set), and a second
 * station 10 dB weaker sending random calls at `wpm` (1 to 100). They are
 * drawn from the seed (zarn_request_set_seed), or from one drawn once for
 * the request. */
ZARN_API zarn_status zarn_request_set_noise_db(zarn_request *request, double snr_db);
ZARN_API zarn_status zarn_request_set_bandwidth_hz(zarn_request *request, double hz);
ZARN_API zarn_status zarn_request_set_qsb_db(zarn_request *request, double depth_db);
ZARN_API zarn_status zarn_request_set_qsb_rate_hz(zarn_request *request, double hz);
ZARN_API zarn_status zarn_request_set_qrm_wpm(zarn_request *request, double wpm);
/* A preset sets the rate, the encoding, the container and the ramp, as -p
 * does; setters called after it change them. */
ZARN_API zarn_status zarn_request_set_preset(zarn_request *request, const char *name);

/* How a message's letters are sent, each on (nonzero) or off (0, the
 * default), as the options of the same name: C H as the one character CH;
 * a letter with marks but no code of its own as its plain letter; Cyrillic
 * as Ukrainian; the Arabic script as Persian. */
ZARN_API zarn_status zarn_request_set_ch(zarn_request *request, int on);
ZARN_API zarn_status zarn_request_set_fold(zarn_request *request, int on);
ZARN_API zarn_status zarn_request_set_ukrainian(zarn_request *request, int on);
ZARN_API zarn_status zarn_request_set_persian(zarn_request *request, int on);

/* Practice text, sent in place of the text set before: random groups, or
 * random callsigns, each as the command line's option of the same name.
 * Setting a callsign or a message afterwards sends that instead. A group size
 * is min to max characters (1 to 20); a charset and a Koch lesson (1 to 40)
 * replace each other. Without a seed one is drawn, once for the request. */
ZARN_API zarn_status zarn_request_set_groups(zarn_request *request, long count);
ZARN_API zarn_status zarn_request_set_calls(zarn_request *request, long count);
ZARN_API zarn_status zarn_request_set_group_size(zarn_request *request, long min, long max);
ZARN_API zarn_status zarn_request_set_charset(zarn_request *request, const char *chars);
ZARN_API zarn_status zarn_request_set_koch_lesson(zarn_request *request, long lesson);
ZARN_API zarn_status zarn_request_set_frame(zarn_request *request, int frame);
ZARN_API zarn_status zarn_request_set_seed(zarn_request *request, uint64_t seed);
/* The key of the practice set last sized, rendered or streamed, as --key
 * writes it: one item a line, after "# --seed N" when the seed was drawn.
 * "" without a practice set. Valid until the next call on the request. */
ZARN_API const char *zarn_request_key(const zarn_request *request);

/* Limits, checked before anything large is allocated: the whole sound's
 * bytes and the message's bytes. 0 removes a limit (the default). */
ZARN_API zarn_status zarn_request_set_max_bytes(zarn_request *request, uint64_t bytes);
ZARN_API zarn_status zarn_request_set_max_message_bytes(zarn_request *request, uint64_t bytes);

/* The exact size of the file the request makes, without making it; for
 * mp3, vorbis, opus and flac, known only once coded, the most it can be. */
ZARN_API zarn_status zarn_request_size(zarn_request *request, uint64_t *bytes);

/* The whole file in memory, allocated for the caller. */
typedef struct zarn_buffer {
  unsigned char *bytes; /* NULL when nothing was made */
  size_t size;
} zarn_buffer;
ZARN_API zarn_status zarn_request_render(zarn_request *request, zarn_buffer *out);
ZARN_API void zarn_buffer_free(zarn_buffer *buffer);

/* The file a block at a time, in fixed memory however long the sound: `write`
 * is called with each block in order and returns 0 to go on, anything else
 * to stop (ZARN_STOPPED). */
typedef int (*zarn_write_fn)(void *context, const unsigned char *bytes, size_t size);
ZARN_API zarn_status zarn_request_stream(zarn_request *request, zarn_write_fn write, void *context);

/* The command line in memory. */

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
 * return is -1. -f is refused: give the text with --text instead, or use a
 * request and zarn_request_set_message_file. A sound too large for memory
 * ends with status 2 and says so. */
ZARN_API int zarn_render(int argc, const char *const *argv, zarn_result *result);

/* Frees what zarn_render allocated and clears `result`; NULL is ignored. */
ZARN_API void zarn_result_free(zarn_result *result);

#ifdef __cplusplus
}
#endif

#endif /* ZARN_H */
