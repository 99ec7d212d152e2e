#!/usr/bin/env bash
# The sound options' files as real readers, a real decoder and a filter take
# them: every encoding at several rates, with and without the header.
set -uo pipefail
source "$(dirname "$0")/harness.sh"

need soxi sox
need sndfile-info sndfile-programs
need multimon-ng multimon-ng

# Q1ABC is 70 units of 1.2 / wpm s. At 13 wpm its 6.4615 s end between
# samples, and a count cut instead of rounded is one short at 16000 and 48000.
# At 16000 it is odd: one-byte encodings get one more silent sample, so that
# no pad byte follows their data.
samples() { awk -v rate="$1" 'BEGIN { printf "%d", 70 * 1.2 / 13 * rate + 0.5 }'; }

declare -A bits=([u8]=8 [s16]=16 [ulaw]=8 [alaw]=8)
declare -A width=([u8]=1 [s16]=2 [ulaw]=1 [alaw]=1)
declare -A header=([u8]=44 [s16]=44 [ulaw]=58 [alaw]=58)
declare -A sox_name=([u8]="Unsigned Integer PCM" [s16]="Signed Integer PCM" [ulaw]=u-law
  [alaw]=A-law)
# libsndfile's major format (WAV) with its subformat.
declare -A sndfile_format=([u8]=0x00010005 [s16]=0x00010002 [ulaw]=0x00010010 [alaw]=0x00010011)
declare -A raw_type=([u8]="-t raw -e unsigned -b 8" [s16]="-t raw -e signed -b 16" [ulaw]="-t ul"
  [alaw]="-t al")

for rate in 8000 16000 48000; do
  for enc in u8 s16 ulaw alaw; do
    n=$(samples "$rate")
    ((width[$enc] == 1 && n % 2 == 1)) && n=$((n + 1))
    at="$enc at $rate Hz"
    "$ZARN" -r "$rate" -e "$enc" --ramp 2 Q1ABC 13 f.wav
    "$ZARN" -r "$rate" -e "$enc" --ramp 2 --raw Q1ABC 13 f.raw
    check "soxi samples, $at" "$(soxi -s f.wav)" "$n"
    check "soxi rate, $at" "$(soxi -r f.wav)" "$rate"
    check "soxi bits, $at" "$(soxi -b f.wav)" "${bits[$enc]}"
    check "soxi channels, $at" "$(soxi -c f.wav)" 1
    check "soxi encoding, $at" "$(soxi -e f.wav)" "${sox_name[$enc]}"
    info=$(sndfile-info f.wav)
    check "sndfile-info frames, $at" "$(grep -E '^Frames' <<<"$info")" "Frames      : $n"
    check "sndfile-info rate, $at" "$(grep -E '^Sample Rate' <<<"$info")" "Sample Rate : $rate"
    check "sndfile-info format, $at" "$(grep -E '^Format' <<<"$info")" \
      "Format      : ${sndfile_format[$enc]}"

    # The raw file is the WAV's data chunk, byte for byte, and sox reads as
    # many samples from it as from the WAV.
    tail -c +$((header[$enc] + 1)) f.wav | head -c $((n * width[$enc])) >data
    check "raw is the WAV's data, $at" "$(cmp f.raw data 2>&1 && echo same)" same
    sox ${raw_type[$enc]} -r "$rate" -c 1 f.raw -t s16 raw.s16
    sox f.wav -t s16 wav.s16
    check "sox reads the raw samples, $at" "$(stat -c %s raw.s16)" $((2 * n))
    check "sox reads raw and WAV alike, $at" "$(cmp raw.s16 wav.s16 2>&1 && echo same)" same
  done
done

# A G.711 code stands for a range of 16-bit values as wide as the law's step
# at that magnitude, and sox decodes it to the middle: within half a step of
# the 16-bit sample of the same sound, and one more for the mirrored negative
# half. A mu-law bias off by half its finest step is caught; the level stays
# below mu-law's clipping. Prints the samples that are not, and the count.
outside_half_a_step() {
  paste -d ' ' <(od -An -v -td2 -w2 "$2") <(od -An -v -td2 -w2 "$3") | awk -v law="$1" '
    {
      m = $1 < 0 ? -$1 : $1
      if (law == "ulaw") { step = 8; top = 256; m += 132 } else { step = 16; top = 512 }
      while (m >= top) { step *= 2; top *= 2 }
      d = $2 - $1
      if (NF != 2 || d > step / 2 + 1 || -d > step / 2 + 1) { bad++; if (bad <= 3) printf "sample %d: %s ", NR - 1, $0 }
    }
    END { printf "%d outside of %d", bad, NR }'
}
for rate in 8000 48000; do
  n=$(samples "$rate")
  "$ZARN" -r "$rate" -e s16 --raw --ramp 2 --volume -3 Q1ABC 13 pcm.s16
  for law in ulaw alaw; do
    "$ZARN" -r "$rate" -e "$law" --raw --ramp 2 --volume -3 Q1ABC 13 coded.raw
    sox ${raw_type[$law]} -r "$rate" -c 1 coded.raw -t s16 decoded.s16
    check "$law within half a step of s16 at $rate Hz" "$(outside_half_a_step "$law" pcm.s16 decoded.s16)" \
      "0 outside of $n"
  done
done

# The decoder hears the shaped tone at either end of the rates; sox resamples
# for it as for the classic files.
decode() {
  sox "$1" -r 22050 -b 16 -e signed -t raw - vol 0.5 pad 0 1 |
    multimon-ng -q -a MORSE_CW -d 60 -g 60 -t raw - 2>/dev/null | tr -s ' \n' ' ' | sed 's/ $//'
}
for rate in 8000 48000; do
  "$ZARN" -r "$rate" --ramp 5 Q1ABC 20 shaped.wav
  check "decode shaped Q1ABC at $rate Hz" "$(decode shaped.wav)" Q1ABC
done
# Words, punctuation and a prosign: <SK> is one character, ...-.-, with no
# letter gap inside; sent as S and K it would be heard as "SK".
message="Q1ABC/M DE K0DEF, 73. (QSL?) 'OK' \"A-B\" 1+1=2 Q@ABC: <SK>"
"$ZARN" --text -r 16000 --ramp 5 "$message" 20 message.wav
check "decode a message" "$(decode message.wav)" "$message"

# Key clicks: hard keying spreads energy far from the tone; 5 ms ramps keep
# what lies more than 300 Hz away at least 20 dB lower. The band around the
# default tone is rejected with a 50 Hz transition.
rms_away_from_tone() {
  sox "$1" -n sinc -t 50 1661.975-1061.975 stats 2>&1 | awk '/^RMS lev dB/ { print $4 }'
}
"$ZARN" -r 48000 -e s16 --ramp 0 Q1ABC 20 hard.wav
"$ZARN" -r 48000 -e s16 --ramp 5 Q1ABC 20 soft.wav
hard=$(rms_away_from_tone hard.wav)
soft=$(rms_away_from_tone soft.wav)
check "ramps keep clicks 20 dB down (hard $hard dB, ramped $soft dB)" \
  "$(awk -v h="$hard" -v s="$soft" 'BEGIN { print (h != "" && s != "" && h - s >= 20) ? "yes" : "no" }')" yes

# The telephony line: raw mu-law at 8000 Hz, read as such.
"$ZARN" -r 8000 -e ulaw --raw --ramp 5 Q1ABC 20 id.ul
check "sox reads raw mu-law" "$(sox -t ul -r 8000 id.ul -n stat 2>&1 | grep -E '^(Samples|Length)')" \
  "Samples read:             33600
Length (seconds):      4.200000"

finish
