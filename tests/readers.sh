#!/usr/bin/env bash
# Real WAV readers and a real Morse decoder read what the tool writes.
set -uo pipefail
source "$(dirname "$0")/harness.sh"

need soxi sox
need sndfile-info sndfile-programs
need multimon-ng multimon-ng

# Every symbol of the table appears at least once.
callsigns=(Q1ABC/M K0DEF W2GHI N3JKL VE4MNO G5PQR DL6STU JA7VWX ZS8YZ EA9/K1 OH2XYZ VK3/W9)

for wpm in 10 15 20 25; do
  for tone in "" 700; do
    for call in "${callsigns[@]}"; do
      "$ZARN" "$call" "$wpm" id.wav $tone
      dit_ms=$((1200 / wpm))
      heard=$(sox id.wav -r 22050 -b 16 -e signed -t raw - vol 0.5 pad 0 1 |
        multimon-ng -q -a MORSE_CW -d "$dit_ms" -g "$dit_ms" -t raw - 2>/dev/null | tr -d ' \n')
      check "decode $call at $wpm wpm, tone '${tone:-default}'" "$heard" "$call"
    done
  done
done

"$ZARN" Q1ABC 20 id.wav
check "soxi samples" "$(soxi -s id.wav)" 46305
check "soxi rate" "$(soxi -r id.wav)" 11025
check "soxi bits" "$(soxi -b id.wav)" 8
check "soxi channels" "$(soxi -c id.wav)" 1
check "soxi encoding" "$(soxi -e id.wav)" "Unsigned Integer PCM"

info=$(sndfile-info id.wav)
check "sndfile-info frames" "$(grep -E '^Frames' <<<"$info")" "Frames      : 46305"
check "sndfile-info rate" "$(grep -E '^Sample Rate' <<<"$info")" "Sample Rate : 11025"
check "sndfile-info channels" "$(grep -E '^Channels' <<<"$info")" "Channels    : 1"
# 0x00010005: a WAV file of unsigned 8-bit PCM.
check "sndfile-info format" "$(grep -E '^Format' <<<"$info")" "Format      : 0x00010005"

# Piped through /dev/stdout, the same audio as written to a file.
"$ZARN" Q1ABC 20 /dev/stdout | sox -t wav - piped.raw
sox id.wav file.raw
check "pipeline audio" "$(cmp piped.raw file.raw && echo same)" same
check "pipeline status" "$("$ZARN" Q1ABC 20 /dev/stdout | cat >/dev/null; echo "${PIPESTATUS[0]}")" 0

finish
