#!/usr/bin/env bash
# The compressed encodings as players read them: ffmpeg and GStreamer (and
# sox, where it has the codec) decode every file to exactly the samples of zarn's own s16 file of the same sound
# (through MP3's gapless Info frame and Opus's pre-skip and end granule), a
# Morse decoder hears the callsign in what they decode, FLAC decodes to those
# very samples, and ffprobe shows the tags.
set -uo pipefail
source "$(dirname "$0")/harness.sh"

need ffmpeg ffmpeg
need ffprobe ffmpeg
need gst-launch-1.0 gstreamer1.0-tools
need sox sox
need multimon-ng multimon-ng
need /usr/bin/time time
declare -A package=([mpg123audiodec]=gstreamer1.0-plugins-good [vorbisdec]=gstreamer1.0-plugins-base
  [opusdec]=gstreamer1.0-plugins-base [flacdec]=gstreamer1.0-plugins-good)
for element in "${!package[@]}"; do
  gst-inspect-1.0 --exists "$element" || skip "GStreamer element $element not found (Debian package: ${package[$element]})"
done

# ENCODING RATE KBPS WPM; "-" leaves the option out. The rates without -r
# are the defaults (mp3 22050, vorbis and opus 16000, flac 11025); MPEG-1,
# MPEG-2 and MPEG-2.5 each have a row, as do Opus's lowest and highest rates.
cases=(
  "mp3 - - 20"      "mp3 44100 64 13"  "mp3 8000 16 20"  "mp3 24000 8 13"
  "vorbis - - 20"   "vorbis 44100 - 13" "vorbis 22050 40 20"
  "opus - - 20"     "opus 48000 64 13" "opus 8000 6 20"
  "flac - - 20"     "flac 48000 - 13"
)
declare -A default_rate=([mp3]=22050 [vorbis]=16000 [opus]=16000 [flac]=11025)

# decoded_by TOOL FILE: FILE's samples as TOOL decodes them, in dec.s16.
decoded_by() {
  rm -f dec.s16
  if [[ $1 == ffmpeg ]]; then
    ffmpeg -v error -i "$2" -f s16le -ac 1 dec.s16
  elif [[ $1 == sox ]]; then
    sox "$2" -t s16 -c 1 dec.s16 2>/dev/null
  else
    timeout 20 gst-launch-1.0 -q filesrc location="$2" ! decodebin ! audioconvert dithering=none \
      ! audio/x-raw,format=S16LE,channels=1 ! filesink location=dec.s16 >/dev/null 2>&1
  fi
  echo $(($(stat -c %s dec.s16 2>/dev/null || echo 0) / 2))
}

# keys_like REF REF_RATE DEC DEC_RATE: "same" when DEC, bare 16-bit samples,
# keys like REF: their 10 ms envelopes correlate at 0.95 or more without
# shifting either, and the tone where REF is at full level is 1361.975 Hz
# within 1%.
keys_like() {
  python3 - "$@" <<'PY'
import array, sys
def samples(name):
    a = array.array("h")
    a.frombytes(open(name, "rb").read())
    return a
def envelope(s, rate):
    n = rate // 100
    return [sum(x * x for x in s[i:i + n]) / n for i in range(0, len(s) - n + 1, n)]
ref, dec = samples(sys.argv[1]), samples(sys.argv[3])
ref_rate, dec_rate = int(sys.argv[2]), int(sys.argv[4])
a, b = envelope(ref, ref_rate), envelope(dec, dec_rate)
m = min(len(a), len(b))
a, b = a[:m], b[:m]
ma, mb = sum(a) / m, sum(b) / m
cov = sum((x - ma) * (y - mb) for x, y in zip(a, b))
var = (sum((x - ma) ** 2 for x in a) * sum((y - mb) ** 2 for y in b)) ** 0.5
n, top = dec_rate // 100, max(a)
loud = [i for i, x in enumerate(a) if x > top / 2]
crossings = sum(1 for i in loud for k in range(max(i * n, 1), (i + 1) * n) if (dec[k - 1] < 0) != (dec[k] < 0))
tone = crossings / 2 / (len(loud) * n / dec_rate)
print("same" if cov / var >= 0.95 and abs(tone - 1361.975) < 13.6 else f"correlation {cov / var:.3f}, tone {tone:.1f} Hz")
PY
}

for c in "${cases[@]}"; do
  read -r enc rate kbps wpm <<<"$c"
  options=(-e "$enc" --ramp 5)
  [[ $rate == - ]] && rate=${default_rate[$enc]} || options+=(-r "$rate")
  [[ $kbps == - ]] || options+=(--bitrate "$kbps")
  rm -f id.* ref.wav
  run_zarn "${options[@]}" Q1ABC "$wpm" "id.$enc"
  check "writes the file, $c" "$status $err" "0 "
  ((status == 0)) || continue
  run_zarn -e s16 -r "$rate" --ramp 5 Q1ABC "$wpm" ref.wav
  sox ref.wav -t s16 ref.s16
  # Debian's sox reads Vorbis and FLAC, not MP3 or Opus.
  tools=(ffmpeg gst)
  [[ $enc == vorbis || $enc == flac ]] && tools+=(sox)
  for tool in "${tools[@]}"; do
    samples=$(soxi -s ref.wav)
    # ffmpeg decodes Opus at 48 kHz; GStreamer at the rate it was made at.
    out_rate=$rate
    [[ $enc == opus && $tool == ffmpeg ]] && out_rate=48000 && samples=$((samples * 48000 / rate))
    count=$(decoded_by "$tool" "id.$enc")
    # GStreamer's Vorbis decoder ends its last buffer on a nanosecond clock
    # and can keep one sample more; everywhere else the count is exact.
    if [[ $tool == gst && $enc == vorbis && $count == $((samples + 1)) ]]; then count=$samples; fi
    check "$tool decodes every sample, $c" "$count" "$samples"
    check "$tool's samples are heard, $c" "$(heard "$out_rate" "$wpm" dec.s16)" Q1ABC
    check "$tool's samples key like the s16 file's, $c" "$(keys_like ref.s16 "$rate" dec.s16 "$out_rate")" same
  done
  if [[ $enc == flac ]]; then
    decoded_by ffmpeg id.flac >/dev/null
    check "flac decodes to the s16 samples, $c" "$(cmp dec.s16 ref.s16 2>&1 && echo same)" same
  fi
done

# The tags, UTF-8 whole, in each container: the Ogg ones per stream.
tags=(--title "Lektion 1: Übung" --artist "Zoë" --album Book --track 3/12 --comment "code practice")
expected="title=Lektion 1: Übung|artist=Zoë|album=Book|track=3/12|comment=code practice"
for enc in mp3 vorbis opus flac s16; do
  file=tagged.$enc
  [[ $enc == s16 ]] && file=tagged.wav
  run_zarn -e "$enc" "${tags[@]}" Q1ABC 20 "$file"
  shown=$(ffprobe -v error -show_entries format_tags:stream_tags -of compact=p=0:nk=0 "$file" |
    tr -s '|\n' '|' | sed 's/tag://g; s/encoder=[^|]*|//; s/^|//; s/|$//' | tr '[:upper:]' '[:lower:]')
  check "ffprobe shows the tags, $enc" "$shown" "$(tr '[:upper:]' '[:lower:]' <<<"$expected")"
done
# The tags' chunk leaves the WAV's samples as they were.
run_zarn -e s16 Q1ABC 20 untagged.wav
check "a tagged WAV holds the untagged one's samples" \
  "$(cmp <(sox tagged.wav -t s16 -) <(sox untagged.wav -t s16 -) && echo same)" same

# Memory stays flat in the length: 20 minutes peak as a callsign does, far
# below what holding the coded file or its samples would take.
long=$(for i in $(seq 400); do printf 'PARIS '; done)
for enc in mp3 vorbis opus flac; do
  short_kb=$( { /usr/bin/time -f %M "$ZARN" -e "$enc" Q1ABC 20 short.out; } 2>&1)
  long_kb=$( { /usr/bin/time -f %M "$ZARN" -e "$enc" --text "$long" 20 long.out; } 2>&1)
  check "20 minutes of $enc take the memory of a callsign" "$((long_kb < short_kb + 2048))" 1
done

# A message in parts: numbered files, each tagged with its track and heard
# from its first word; a part that cannot be written is the one named.
for i in $(seq 60); do printf 'PARIS '; done >book.txt
run_zarn -e mp3 --split-minutes 1 --title Book -f book.txt 20 book.mp3
check "writes three parts" "$status $err $(echo book-*)" "0  book-001.mp3 book-002.mp3 book-003.mp3"
for n in 1 2 3; do
  track=$(ffprobe -v error -show_entries format_tags=track -of default=nw=1:nk=1 "book-00$n.mp3")
  check "part $n is track $n of 3" "$track" "$n/3"
done
decoded_by ffmpeg book-002.mp3 >/dev/null
check "part 2 starts with a tone" "$(heard 22050 20 dec.s16 | cut -c1-10)" PARISPARIS
rm book-00[23].mp3 && mkdir book-002.mp3
run_zarn -e mp3 --split-minutes 1 -f book.txt 20 book.mp3
check "names the part it cannot write" "$status $(grep -o 'book-00[0-9].mp3' <<<"$err")" "9 book-002.mp3"

# A part starts as the one before it ended, with noise of its own; a name
# that is no file (a FIFO, a device) has nowhere to put parts beside it.
# At 40 wpm PARIS and its gap take 1.5 s: two to a part of 3 s.
run_zarn --split-minutes 0.05 --noise 6 --seed 7 --text "|w40|f600 PARIS PARIS PARIS PARIS" 20 carry.wav
run_zarn --noise 6 --seed 7 --text "|w40|f600 PARIS PARIS" 20 first.wav
check "part 1 is the message's start" "$(cmp carry-001.wav first.wav && echo same)" same
run_zarn --noise 6 --seed 7 --text "|w40|f600 PARIS PARIS" 20 later.wav
check "part 2 keeps the changes" "$(soxi -s carry-002.wav)" "$(soxi -s later.wav)"
check "part 2 has noise of its own" "$(cmp -s carry-002.wav later.wav || echo differs)" differs
mkfifo pipe
run_zarn --split-minutes 1 --text "CQ CQ" 20 pipe
check "a FIFO takes no parts" "$status$(ls pipe-* 2>/dev/null)" 2

finish
