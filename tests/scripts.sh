#!/usr/bin/env bash
# A real Morse decoder reads a sentence of each script back as the Latin
# letters of the same codes.
set -uo pipefail
source "$(dirname "$0")/harness.sh"

need sox sox
need multimon-ng multimon-ng

# Options, message, what the decoder hears (a blank for each word gap).
cases=(
  "|Ärger über Öl|ÄRGER ÜBER ÖL"
  "|привет мир|PRIWET MIR"
  "--ukrainian|Добрий день|DOBRYJ DENX"
  "--fold|Καλημέρα κόσμε|KALHMERA KOSME"
  "|שלום עולם|SLEM JELM"
  "|مرحبا|MRHBA"
  "--persian|خوب است|XWB AST"
  "|CQ かたな DE Q1ABC|CQ <DO>LNR<SN> DE Q1ABC"
  "|Q1ABC мир はな|Q1ABC MIR <DO>BR<SN>"
)

for entry in "${cases[@]}"; do
  IFS='|' read -r options message expected <<<"$entry"
  # shellcheck disable=SC2086  # the options are words
  "$ZARN" --text $options "$message" 20 id.wav
  heard=$(sox id.wav -r 22050 -b 16 -e signed -t raw - vol 0.5 pad 0 1 |
    multimon-ng -q -a MORSE_CW -d 60 -g 60 -t raw - 2>/dev/null | tr -s ' \n' ' ')
  check "decode '$message' $options" "${heard% }" "$expected"
done

finish
