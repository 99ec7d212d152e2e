#!/usr/bin/env bash
# A Morse decoder copies practice sets exactly as their keys say they were
# sent; a seed makes the same file again.
set -uo pipefail
source "$(dirname "$0")/harness.sh"

need sox sox
need multimon-ng multimon-ng

# What the decoder hears, words one a line. It writes the prosign <AR> as
# the + that shares its code.
copied() {
  sox "$1" -r 22050 -b 16 -e signed -t raw - vol 0.5 pad 0 1 |
    multimon-ng -q -a MORSE_CW -d 60 -g 60 -t raw - 2>/dev/null | tr -s ' \n' '\n\n' |
    sed '/^$/d; s/^+$/<AR>/'
}

sets=(
  "--groups 20"
  "--groups 20 --group-size 1-8"
  "--koch 1 --groups 10"
  "--koch 40 --groups 40"
  "--calls 40 --frame"
  "--groups 10 --charset ./,?=0 --frame"
)
for set in "${sets[@]}"; do
  # shellcheck disable=SC2086
  "$ZARN" $set --seed 23 --key key.txt 20 set.wav
  check "decode $set" "$(copied set.wav)" "$(tr ' ' '\n' <key.txt)"
done

"$ZARN" --koch 40 --groups 40 --seed 23 --key a.txt 20 a.wav
"$ZARN" --koch 40 --groups 40 --seed 23 --key b.txt 20 b.wav
"$ZARN" --koch 40 --groups 40 --seed 24 --key c.txt 20 c.wav
check "same seed, same sound" "$(cmp a.wav b.wav && cmp a.txt b.txt && echo same)" same
check "another seed, another set" "$(cmp -s a.txt c.txt || echo differs)" differs
check "lesson 40 sends all 41" "$(tr -d '\n' <a.txt | fold -w1 | sort -u | tr -d '\n')" \
  "$(echo 'KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X' | fold -w1 | sort -u | tr -d '\n')"

finish
