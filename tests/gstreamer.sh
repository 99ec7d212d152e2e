#!/usr/bin/env bash
# GStreamer reads every encoding, at several rates and with odd and even sample
# counts, from a WAV file (wavparse) and as bare samples (rawaudioparse): the
# samples sox reads, and a decoder hears the callsign in them. GStreamer
# exits 0 when it reads nothing, so only the samples count.
set -uo pipefail
source "$(dirname "$0")/harness.sh"

need gst-launch-1.0 gstreamer1.0-tools
need sox sox
need multimon-ng multimon-ng
declare -A package=([wavparse]=gstreamer1.0-plugins-good [mulawdec]=gstreamer1.0-plugins-good
  [alawdec]=gstreamer1.0-plugins-good [rawaudioparse]=gstreamer1.0-plugins-base
  [avdec_gsm_ms]=gstreamer1.0-libav)
for element in "${!package[@]}"; do
  gst-inspect-1.0 --exists "$element" || skip "GStreamer element $element not found (Debian package: ${package[$element]})"
done

# How rawaudioparse is told what bare samples hold; it has no GSM frames.
declare -A bare=([u8]="format=pcm pcm-format=u8" [s16]="format=pcm pcm-format=s16le"
  [ulaw]="format=mulaw" [alaw]="format=alaw")

# WPM RATE ENCODING RAMP. Q1ABC's sample count is even in the left column and
# odd in the right; the last row is the classic file, odd and unpadded. The
# first GSM row is an odd number of 65-byte frames, the second ends in a part
# frame.
cases=(
  "20 8000 u8 5"    "20 11025 u8 5"
  "13 48000 u8 5"   "13 16000 u8 5"
  "20 8000 s16 5"   "20 11025 s16 5"
  "13 48000 s16 5"  "13 16000 s16 5"
  "20 8000 ulaw 5"  "20 11025 ulaw 5"
  "13 48000 ulaw 5" "13 16000 ulaw 5"
  "20 8000 alaw 5"  "20 11025 alaw 5"
  "13 48000 alaw 5" "13 16000 alaw 5"
  "20 8000 gsm 5"   "13 8000 gsm 5"
  "20 11025 u8 0"
)

# gst_reads FILE PARSER...: FILE's samples as 16-bit ones in gst.s16.
gst_reads() {
  rm -f gst.s16
  timeout 20 gst-launch-1.0 -q filesrc location="$1" ! "${@:2}" ! decodebin \
    ! audioconvert dithering=none ! audio/x-raw,format=S16LE,channels=1 \
    ! filesink location=gst.s16 >/dev/null 2>&1
}

for c in "${cases[@]}"; do
  read -r wpm rate enc ramp <<<"$c"
  options=(-r "$rate" -e "$enc" --ramp "$ramp")
  rm -f id.wav id.raw sox.s16
  run_zarn "${options[@]}" Q1ABC "$wpm" id.wav
  check "writes the WAV, $c" "$status $err" "0 "
  ((status == 0)) || continue
  sox id.wav -t s16 sox.s16
  gst_reads id.wav wavparse
  check "wavparse reads what sox reads, $c" "$(cmp gst.s16 sox.s16 2>&1 && echo same)" same
  check "heard through wavparse, $c" "$(heard "$rate" "$wpm" gst.s16)" Q1ABC
  [[ -v bare[$enc] ]] || continue
  run_zarn "${options[@]}" --raw Q1ABC "$wpm" id.raw
  check "writes the bare samples, $c" "$status $err" "0 "
  gst_reads id.raw rawaudioparse ${bare[$enc]} sample-rate="$rate" num-channels=1
  check "rawaudioparse reads what sox reads, $c" "$(cmp gst.s16 sox.s16 2>&1 && echo same)" same
  check "heard through rawaudioparse, $c" "$(heard "$rate" "$wpm" gst.s16)" Q1ABC
done

finish
