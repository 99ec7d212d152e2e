#!/usr/bin/env bash
# Times whole runs of the tool side by side with cp of the identical file and
# with sox synthesising a tone of the same length, and prints the ratios of
# median wall times: the classic sound, long and typical, and a long shaped
# sound (48 kHz, 16-bit, 5 ms ramps). The typical run is also timed against
# a release build of commit d43b7f9, made here from a worktree of this
# repository, whose speed it must keep.
# Then 300 groups, plain and with --noise and --qsb, at 11025 and 48000 Hz.
# Then a 20 kB text (about 3.8 hours at 20 wpm) in each compressed encoding
# on one core, with its real-time factor and peak memory, and as MP3 beside
# Debian's lame encoding zarn's own s16 WAV of the same sound at the same
# rate, bitrate and quality; --codecs runs that part alone.
# Usage: bench/compare.sh path/to/zarn [--codecs] (a release build).
set -euo pipefail
zarn=$(readlink -f "${1:?usage: $0 path/to/zarn [--codecs]}")

# seconds_of COMMAND...: its wall time and its CPU time (user and system) in
# seconds, on CPU 0 alone, and its peak memory in KB. On a shared machine the
# CPU time is the steadier of the two.
seconds_of() {
  local start end used
  start=$(date +%s.%N)
  used=$( { /usr/bin/time -f '%U %S %M' taskset -c 0 "$@" >/dev/null; } 2>&1 | tail -1)
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" -v u="$used" \
    'BEGIN { split(u, f, " "); printf "%.2f %.2f %s\n", b - a, f[1] + f[2], f[3] }'
}

codecs() {
  command -v lame >/dev/null || { echo "lame not found (Debian package: lame)" >&2; exit 2; }
  local dir
  dir=$(mktemp -d)
  awk 'BEGIN { srand(2); abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    while (n < 20000) { w = ""; for (i = int(2 + rand() * 7); i > 0; i--) w = w substr(abc, 1 + int(rand() * 26), 1)
      printf "%s ", w; n += length(w) + 1 } }' | head -c 20000 >"$dir/text.txt"
  "$zarn" -e s16 -r 8000 -f "$dir/text.txt" 20 "$dir/length.wav"
  local length
  length=$(soxi -D "$dir/length.wav")
  rm "$dir/length.wav"
  printf 'a 20 kB text at 20 wpm: %.0f s of sound, one core\n' "$length"
  for enc in mp3 vorbis opus flac; do
    local wall cpu peak
    read -r wall cpu peak < <(seconds_of "$zarn" -e "$enc" -f "$dir/text.txt" 20 "$dir/out.$enc")
    printf '  %-6s wall %6.2f s, CPU %6.2f s: %5.0fx real time (%5.0fx on the CPU), peak %s KB, %s bytes\n' \
      "$enc" "$wall" "$cpu" "$(awk -v l="$length" -v w="$wall" 'BEGIN { print l / w }')" \
      "$(awk -v l="$length" -v w="$cpu" 'BEGIN { print l / w }')" "$peak" "$(stat -c %s "$dir/out.$enc")"
    rm "$dir/out.$enc"
  done
  "$zarn" -e s16 -r 22050 -f "$dir/text.txt" 20 "$dir/same.wav"
  local zarn_wall zarn_cpu zarn_peak lame_wall lame_cpu peak
  read -r zarn_wall zarn_cpu zarn_peak < <(seconds_of "$zarn" -e mp3 -f "$dir/text.txt" 20 "$dir/zarn.mp3")
  read -r lame_wall lame_cpu peak < <(seconds_of lame --quiet -m m -b 32 --cbr -q 7 "$dir/same.wav" "$dir/lame.mp3")
  printf 'mp3 at 22050 Hz, 32 kbps, quality 7: zarn (text to file) wall %.2f s, CPU %.2f s, peak %s KB;\n' \
    "$zarn_wall" "$zarn_cpu" "$zarn_peak"
  printf '  lame (its s16 WAV, %s bytes, to file) wall %.2f s, CPU %.2f s, peak %s KB;\n' \
    "$(stat -c %s "$dir/same.wav")" "$lame_wall" "$lame_cpu" "$peak"
  printf '  zarn / lame: wall %s, CPU %s\n' \
    "$(awk -v a="$zarn_wall" -v b="$lame_wall" 'BEGIN { printf "%.2f", a / b }')" \
    "$(awk -v a="$zarn_cpu" -v b="$lame_cpu" 'BEGIN { printf "%.2f", a / b }')"
  rm -rf "$dir"
}
if [[ ${2:-} == --codecs ]]; then
  codecs
  exit 0
fi
for tool in hyperfine sox cmake git; do
  command -v "$tool" >/dev/null || { echo "$tool not found (Debian package: $tool)" >&2; exit 2; }
done
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
reference_commit=d43b7f9
reference_tree=${TMPDIR:-/tmp}/zarn-$reference_commit
work=$(mktemp -d)
made_tree=
cleanup() {
  [[ -z $made_tree ]] || git -C "$repo" worktree remove --force "$reference_tree"
  rm -rf "$work"
}
trap cleanup EXIT
if [[ ! -d $reference_tree ]]; then
  git -C "$repo" worktree add --quiet --detach "$reference_tree" "$reference_commit" >/dev/null
  made_tree=yes
fi
# Its compiler's warnings are no news: shown only if the build fails.
{ cmake -S "$reference_tree" -B "$work/reference" -DCMAKE_BUILD_TYPE=Release -DZARN_STATIC=ON &&
  cmake --build "$work/reference" --target zarn -j2; } >"$work/reference.log" 2>&1 ||
  { cat "$work/reference.log" >&2; exit 1; }
reference=$work/reference/zarn
cd "$work"

"$zarn" 0000000000 1 long.wav
"$zarn" Q1ABC 20 typical.wav
"$reference" Q1ABC 20 reference.wav
cmp -s typical.wav reference.wav || { echo "the $reference_commit build writes other bytes" >&2; exit 1; }
# 220 units at 4.4 wpm: 60 s of sound, 2,880,000 samples of 2 bytes.
shaped=(-r 48000 -e s16 --ramp 5 0000000000 4.4)
"$zarn" "${shaped[@]}" shaped.wav
long_seconds=$(soxi -D long.wav)
# A 1 MB message file of random words at 100 wpm, 8 kHz u8 raw: about 1.09 GB
# of sound from 11 million Morse units.
awk 'BEGIN { srand(1); abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
  while (n < 1000000) { w = ""; for (i = int(2 + rand() * 7); i > 0; i--) w = w substr(abc, 1 + int(rand() * 36), 1)
    printf "%s ", w; n += length(w) + 1 } }' | head -c 1000000 >message.txt
message=(-f message.txt -r 8000 --raw 100)
"$zarn" "${message[@]}" message.raw

# An hour of QRSS3 FSK beacon, 8 kHz s16 raw: 57.6 MB of samples.
beacon=(-r 8000 -e s16 --raw --dot 3 --mode fsk --repeat 18 --gap 10 Q1ABC)
"$zarn" "${beacon[@]}" beacon.raw 1000
# The gigabyte just written goes to the disk first, not during the timings,
# where its writeback would slow whichever run touches the file system most.
sync

median() { awk -F, -v row="$2" 'NR == row + 1 { print $4 }' "$1"; }

hyperfine -N --warmup 10 --runs 100 --export-csv long.csv \
  "$zarn 0000000000 1 out.wav" \
  "cp long.wav copy.wav" \
  "sox -n -r 11025 -b 8 -c 1 -e unsigned-integer synth.wav synth $long_seconds sine 1361.975" >/dev/null
hyperfine -N --warmup 10 --runs 100 --export-csv shaped.csv \
  "$zarn ${shaped[*]} shaped-out.wav" \
  "cp shaped.wav shaped-copy.wav" >/dev/null
hyperfine --warmup 3 --runs 20 --export-csv typical.csv \
  "for i in \$(seq 50); do $zarn Q1ABC 20 out.wav; done" \
  "for i in \$(seq 50); do cp typical.wav copy.wav; done" >/dev/null

# One process at a time, not a shell loop, which would hide start-up costs.
for round in 1 2 3; do
  hyperfine -N --warmup 50 --runs 1000 --export-csv "side-$round.csv" \
    "$zarn Q1ABC 20 out.wav" "$reference Q1ABC 20 reference-out.wav" >/dev/null
done

hyperfine -N --warmup 1 --runs 5 --export-csv message.csv \
  "$zarn ${message[*]} message-out.raw" \
  "cp message.raw message-copy.raw" >/dev/null
# Both write a new file, so that neither pays for truncating an old one.
hyperfine -N --warmup 2 --runs 15 --prepare "rm -f beacon-out.raw beacon-copy.raw" \
  --export-csv beacon.csv "$zarn ${beacon[*]} beacon-out.raw 1000" \
  "cp beacon.raw beacon-copy.raw" >/dev/null
# Twenty minutes of groups, plain and in noise and fading, at two rates.
conditions=(--noise 0 --qsb 10)
for rate in 11025 48000; do
  hyperfine -N --warmup 2 --runs 15 --export-csv "conditions-$rate.csv" \
    "$zarn --seed 1 --groups 300 -r $rate 20 plain-$rate.wav" \
    "$zarn --seed 1 --groups 300 -r $rate ${conditions[*]} 20 noisy-$rate.wav" >/dev/null
done
peak_kb=$( { /usr/bin/time -f %M "$zarn" "${message[@]}" message-out.raw; } 2>&1)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
zarn_long=$(median long.csv 1) cp_long=$(median long.csv 2) sox_long=$(median long.csv 3)
zarn_shaped=$(median shaped.csv 1) cp_shaped=$(median shaped.csv 2)
zarn_typ=$(median typical.csv 1) cp_typ=$(median typical.csv 2)
zarn_msg=$(median message.csv 1) cp_msg=$(median message.csv 2)
printf 'long run (0000000000 at 1 wpm, %s samples): zarn %.2f ms, cp %.2f ms, sox %.2f ms\n' \
  "$(soxi -s long.wav)" "$(ratio "$zarn_long" 0.001)" "$(ratio "$cp_long" 0.001)" \
  "$(ratio "$sox_long" 0.001)"
printf '  zarn / cp = %s (goal <= 1.5), sox / zarn = %s\n' \
  "$(ratio "$zarn_long" "$cp_long")" "$(ratio "$sox_long" "$zarn_long")"
printf 'long shaped run (zarn %s, %s bytes): zarn %.2f ms, cp %.2f ms\n' \
  "${shaped[*]}" "$(stat -c %s shaped.wav)" "$(ratio "$zarn_shaped" 0.001)" \
  "$(ratio "$cp_shaped" 0.001)"
printf '  zarn / cp = %s (goal <= 1.0)\n' "$(ratio "$zarn_shaped" "$cp_shaped")"
printf 'typical run (Q1ABC at 20 wpm), fifty in a loop: zarn %.1f ms, cp %.1f ms\n' \
  "$(ratio "$zarn_typ" 0.001)" "$(ratio "$cp_typ" 0.001)"
printf '  zarn / cp = %s (goal <= 0.8)\n' "$(ratio "$zarn_typ" "$cp_typ")"
printf 'typical run (Q1ABC at 20 wpm), one process, median of 1000, against %s:\n' \
  "$reference_commit"
for round in 1 2 3; do
  now=$(median "side-$round.csv" 1) then=$(median "side-$round.csv" 2)
  printf '  round %d: zarn %.3f ms, %s %.3f ms, ratio %s (goal <= 1.05)\n' "$round" \
    "$(ratio "$now" 0.001)" "$reference_commit" "$(ratio "$then" 0.001)" "$(ratio "$now" "$then")"
done
printf 'message file (1 MB, zarn %s, %s bytes): zarn %.0f ms, cp %.0f ms, peak %s KB\n' \
  "${message[*]}" "$(stat -c %s message.raw)" "$(ratio "$zarn_msg" 0.001)" \
  "$(ratio "$cp_msg" 0.001)" "$peak_kb"
printf '  zarn / cp = %s (goal <= 1.5), peak memory goal <= 40960 KB\n' \
  "$(ratio "$zarn_msg" "$cp_msg")"
zarn_beacon=$(median beacon.csv 1) cp_beacon=$(median beacon.csv 2)
printf 'an hour of FSK beacon (zarn %s, %s bytes): zarn %.1f ms, cp %.1f ms\n' \
  "${beacon[*]}" "$(stat -c %s beacon.raw)" "$(ratio "$zarn_beacon" 0.001)" \
  "$(ratio "$cp_beacon" 0.001)"
printf '  zarn / cp = %s (goal <= 2.0)\n' "$(ratio "$zarn_beacon" "$cp_beacon")"
for rate in 11025 48000; do
  plain=$(median "conditions-$rate.csv" 1) noisy=$(median "conditions-$rate.csv" 2)
  printf '300 groups at %s Hz (zarn --seed 1 --groups 300 %s): plain %.1f ms, %s %.1f ms\n' \
    "$rate" "${conditions[*]}" "$(ratio "$plain" 0.001)" "${conditions[*]}" "$(ratio "$noisy" 0.001)"
  printf '  noisy / plain = %s (goal <= 3.0)\n' "$(ratio "$noisy" "$plain")"
done
codecs
