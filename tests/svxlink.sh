#!/usr/bin/env bash
# svxlink itself plays the files its preset makes, as a repeater's short
# identification announcement, into a UDP "sound card" on the loopback: what
# it sends decodes back to the callsign, and its log has no warning.
set -uo pipefail
source "$(dirname "$0")/harness.sh"

need svxlink svxlink-server
need python3 python3-minimal
need sox sox
need multimon-ng multimon-ng
events=/usr/share/svxlink/events.tcl
[[ -r $events ]] || skip "$events not found (Debian package: svxlink-server)"

# Records what arrives on a loopback UDP port until it has been quiet for half
# a second after the first packet (15 s at most before it); prints the port,
# and a spare one for the receiver svxlink insists on, once it listens.
cat >listen.py <<'EOF'
import socket, sys
sock, spare = (socket.socket(socket.AF_INET, socket.SOCK_DGRAM) for _ in range(2))
sock.bind(("127.0.0.1", 0))
spare.bind(("127.0.0.1", 0))
print(sock.getsockname()[1], spare.getsockname()[1], flush=True)
spare.close()
sock.settimeout(15)
with open(sys.argv[1], "wb") as out:
    try:
        while True:
            out.write(sock.recv(65536))
            sock.settimeout(0.5)
    except socket.timeout:
        pass
EOF

# The stock event handler, but with the short identification sent as soon as
# the logic starts rather than at the next interval.
cat >events.tcl <<EOF
set script_path $events
source \$script_path
namespace eval Logic { proc startup {} { send_short_ident } }
EOF

# play FILE: svxlink plays FILE and stops; its audio lands in sent.s16 (16 kHz
# 16-bit mono), its log in svxlink.log.
play() {
  local ports svxlink listener
  rm -f sent.s16 svxlink.log
  coproc LISTEN { exec python3 listen.py sent.s16; }
  listener=$LISTEN_PID
  read -r -t 10 -a ports <&"${LISTEN[0]}"
  cat >svxlink.conf <<EOF
[GLOBAL]
LOGICS=SimplexLogic
CARD_SAMPLE_RATE=16000
CARD_CHANNELS=1
[SimplexLogic]
TYPE=Simplex
RX=Rx1
TX=Tx1
CALLSIGN=Q1ABC
EVENT_HANDLER=$PWD/events.tcl
SHORT_VOICE_ID_ENABLE=0
SHORT_CW_ID_ENABLE=0
SHORT_ANNOUNCE_ENABLE=1
SHORT_ANNOUNCE_FILE=$PWD/$1
[Rx1]
TYPE=Local
AUDIO_DEV=udp:127.0.0.1:${ports[1]}
AUDIO_CHANNEL=0
SQL_DET=VOX
VOX_FILTER_DEPTH=20
VOX_THRESH=1000
[Tx1]
TYPE=Local
AUDIO_DEV=udp:127.0.0.1:${ports[0]}
AUDIO_CHANNEL=0
PTT_TYPE=NONE
TX_DELAY=0
EOF
  svxlink --config="$PWD/svxlink.conf" --logfile="$PWD/svxlink.log" &
  svxlink=$!
  for _ in {1..150}; do
    grep -q 'transmitter OFF' svxlink.log 2>/dev/null && break
    sleep 0.1
  done
  kill "$svxlink"
  wait "$svxlink" "$listener"
}

# FILE OPTIONS: svxlink reads a .wav by its header, and any other name (but
# .gsm) as bare 16 kHz 16-bit samples.
cases=("id.wav --preset svxlink" "id.raw --preset svxlink --raw")
for c in "${cases[@]}"; do
  read -r file options <<<"$c"
  rm -f "$file"
  run_zarn $options Q1ABC 20 "$file"
  check "writes $c" "$status $err" "0 "
  ((status == 0)) || continue
  play "$file"
  check "svxlink plays $c" "$(heard 16000 20 sent.s16)" Q1ABC
  check "svxlink takes $c without a word" "$(grep -E 'WARNING|ERROR' svxlink.log)" ""
done

# The log is where svxlink says it will not play a file: the classic one.
"$ZARN" Q1ABC 20 classic.wav
play classic.wav
check "svxlink refuses the 11025 Hz file, and says so" \
  "$(grep -c 'WARNING: SvxLink can only handle WAV files which have a sample rate of 16000' svxlink.log)" 1

finish
