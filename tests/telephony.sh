#!/usr/bin/env bash
# The 8000 Hz files that Asterisk-based linking plays, told apart by their
# names: bare mu-law (.ulaw), bare GSM 06.10 frames (.gsm), WAV (16-bit or
# GSM). sox and ffmpeg each read them back to the callsign without a word of
# complaint.
set -uo pipefail
source "$(dirname "$0")/harness.sh"

need sox sox
need ffmpeg ffmpeg
need multimon-ng multimon-ng

# How each reader is told what a file holds, by its extension.
declare -A sox_type=([ulaw]="-t ul -r 8000 -c 1" [gsm]="-t gsm" [wav]="")
declare -A ffmpeg_type=([ulaw]="-f mulaw -ar 8000 -ac 1" [gsm]="-f gsm" [wav]="")

# FILE OPTIONS
cases=(
  "id.ulaw --preset asterisk"
  "id.gsm --preset asterisk-gsm"
  "id.wav --preset asterisk-wav"
  "id.gsm -r 8000 -e gsm --raw"
  "id.wav -r 8000 -e gsm"
)

# At 20 wpm the WAV holds an odd number of 65-byte GSM frames; at 13 wpm
# neither kind of frame divides the sound, and the last is completed.
for wpm in 20 13; do
  for c in "${cases[@]}"; do
    read -r file options <<<"$c"
    rm -f "$file"
    run_zarn $options Q1ABC "$wpm" "$file"
    check "writes $c at $wpm wpm" "$status $err" "0 "
    ((status == 0)) || continue
    kind=${file##*.}
    sox ${sox_type[$kind]} "$file" -t s16 sox.s16 2>sox.err
    ffmpeg -nostdin -v error -y ${ffmpeg_type[$kind]} -i "$file" -f s16le ffmpeg.s16 2>ffmpeg.err
    check "sox hears $c at $wpm wpm" "$(heard 8000 "$wpm" sox.s16)$(<sox.err)" Q1ABC
    check "ffmpeg hears $c at $wpm wpm" "$(heard 8000 "$wpm" ffmpeg.s16)$(<ffmpeg.err)" Q1ABC
  done
done

finish
