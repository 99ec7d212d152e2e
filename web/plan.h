/* What a run of the page's arguments would make, told without making it. */
#ifndef ZARN_WEB_PLAN_H
#define ZARN_WEB_PLAN_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct zarn_web_plan {
  /* Every byte the run would give; a double, since size_t is 32 bits here. */
  double size;
  /* One Morse unit at the character speed, in seconds, from the numbers as
   * the command line reads them. */
  double unit_seconds;
  int rate;
  /* The encoding's name as the command line spells it (kEncodingNames). */
  const char *encoding;
  /* 1 for raw samples, 0 for WAV. */
  int raw;
} zarn_web_plan;

/* 1 and `plan` filled when the run would write its sound; 0 when it stops
 * before (a refusal, the usage line, --help): zarn_render then tells why. */
int zarn_web_plan_of(int argc, const char *const *argv, zarn_web_plan *plan);

#ifdef __cplusplus
}
#endif

#endif /* ZARN_WEB_PLAN_H */
