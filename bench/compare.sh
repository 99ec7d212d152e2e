#!/usr/bin/env bash
# Times whole runs of the tool side by side with cp of the identical file and
# with sox synthesising a tone of the same length, and prints the ratios of
# median wall times: the classic sound, long and typical, and a long shaped
# sound (48 kHz, 16-bit, 5 ms ramps). The typical run is also timed against
# a release build of commit d43b7f9, made here from a worktree of this
# repository, whose speed it must keep.
# Usage: bench/compare.sh path/to/zarn (a release build).
set -euo pipefail
zarn=$(readlink -f "${1:?usage: $0 path/to/zarn}")
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
