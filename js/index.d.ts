/** The settings of one sound; each as the command line's option of the same name. */
export interface Request {
  /** A callsign: its first 10 characters, a blank ends it. */
  callsign?: string;
  /** A message on one line, UTF-8, with punctuation and prosigns such as <AR>. */
  message?: string;
  /** Message lines; line ends are blanks, as in a file. */
  lines?: string | string[];
  /** Speed in words per minute, above 0. */
  wpm?: number;
  /** The tone in Hz; 0 for the default. */
  tone?: number;
  /** Samples per second, a whole number. */
  rate?: number;
  /** "u8", "s16", "ulaw", "alaw" (see encodings(): this package's build has no mp3, vorbis,
   * opus or flac, which it refuses naming what it has). */
  encoding?: string;
  /** "wav" or "raw" (the samples alone). */
  container?: "wav" | "raw" | string;
  /** Rise and fall of each tone in ms. */
  ramp?: number;
  /** Character speed in words per minute. */
  characterWpm?: number;
  /** Word gap in units of the character speed. */
  wordGap?: number;
  /** Tone level in dB. */
  volume?: number;
  /** Silence before the Morse in ms. */
  lead?: number;
  /** Silence after the Morse in ms. */
  tail?: number;
  /** Noise at this signal-to-noise ratio in dB, -20..40, in the filter of `bandwidth`. */
  noise?: number;
  /** The receiver's filter around the tone in Hz, 50..4000 (500). */
  bandwidth?: number;
  /** Fading of the signal, down to this many dB. */
  qsb?: number;
  /** Fades a second (0.2). */
  qsbRate?: number;
  /** A second station 10 dB weaker in the band, sending random calls at this many wpm. */
  qrm?: number;
  /** The seed of the band conditions, 0 to 2^64 - 1 (a BigInt or decimal digits past 2^53): the same seed, the same bytes. */
  seed?: number | bigint | string;
  /** Sets rate, encoding, container and ramp; the settings beside it change them. */
  preset?: string;
  /** The largest file accepted, in bytes; 0 for no limit. */
  maxBytes?: number;
}

/** What the library says when a request cannot be made. */
export class ZarnError extends Error {
  /** The library's status number (zarn.h). */
  readonly status: number;
  readonly code:
    | "BAD_ARGUMENT"
    | "BAD_VALUE"
    | "REFUSED"
    | "TOO_LARGE"
    | "NO_MEMORY"
    | "STOPPED"
    | "READ_FAILED"
    | "FAILED";
}

export const STATUS: Readonly<Record<number, string>>;

/** The whole sound file; rejects with a ZarnError in the library's words. */
export function render(request: Request): Promise<{ bytes: Uint8Array }>;

/** The exact size in bytes of the file, without making it. */
export function size(request: Request): Promise<number>;

/** What the executable does with these arguments (without the file name). */
export function renderArgs(args: readonly string[]): Promise<{
  bytes: Uint8Array | null;
  out: string;
  diagnostic: string;
  status: number;
}>;

/** The encodings this build makes. */
export function encodings(): Promise<string[]>;

/** The library's version. */
export const version: string;
