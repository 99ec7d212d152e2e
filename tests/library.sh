#!/usr/bin/env bash
# The installed library as C programs use it: `cmake --install`, then
# pkg-config, shared and static; the command line's wrapper gives the same
# bytes, texts and statuses as the executable, and the example's file is
# read by sox and a Morse decoder.
# Usage: tests/library.sh path/to/zarn path/to/build [cc flags the build needs]
set -uo pipefail
build=$(readlink -f "${2:?usage: $0 path/to/zarn path/to/build}")
client_source=$(readlink -f "$(dirname "$0")/library_client.c")
example_source=$(readlink -f "$(dirname "$0")/../examples/write_id.c")
source "$(dirname "$0")/harness.sh"
need pkg-config pkg-config
need cc gcc
need sox sox
need multimon-ng multimon-ng

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null ||
  { echo "FAIL: cmake --install failed"; exit 1; }
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$(find "$scratch/prefix" -name zarn.pc)")
libdir=$(pkg-config --variable=libdir zarn)
sanitizers=${3:-}
# shellcheck disable=SC2046,SC2086 # pkg-config's flags are meant to split
build() { # SOURCE OUTPUT [static]
  if [[ -n "${3:-}" ]]; then
    cc -std=c11 -Wall -Wextra -Werror "$1" -static $(pkg-config --static --cflags --libs zarn) -o "$2"
  else
    cc -std=c11 -Wall -Wextra -Werror $sanitizers "$1" $(pkg-config --cflags --libs zarn) \
      -Wl,-rpath,"$libdir" -o "$2"
  fi
  check "$2 built with pkg-config" "$([[ -x "$2" ]] && echo yes)" yes
}
build "$client_source" client

# The shared library shows its C functions and nothing else.
exported=$(nm -D --defined-only "$libdir/libzarn.so.1" | awk '{print $3}' | grep -v -e '^zarn_' -e '^ZARN_1$')
check "libzarn.so.1 exports only zarn_ symbols" "$exported" ""
check "libzarn.so.1 soname" "$(objdump -p "$libdir/libzarn.so.1" | awk '/SONAME/ {print $2}')" libzarn.so.1

# The example, shared and (without sanitizers, whose runtimes are shared)
# static, writes an ID that sox reads and a decoder hears.
variants=(shared)
[[ -z "$sanitizers" ]] && variants+=(static)
for variant in "${variants[@]}"; do
  build "$example_source" "write_id_$variant" "${variant/shared/}"
  "./write_id_$variant" Q1ABC/M 20 "id_$variant.wav"
  check "example ($variant): svxlink's 16 kHz s16" "$(soxi -r "id_$variant.wav") $(soxi -b "id_$variant.wav")" "16000 16"
  sox "id_$variant.wav" -t s16 "id_$variant.s16"
  check "example ($variant): heard" "$(heard 16000 20 "id_$variant.s16")" Q1ABC/M
  "./write_id_$variant" 'Q1#BC' 20 bad.wav 2>bad.err
  check "example ($variant): refusal in words" "$(<bad.err)" \
    "./write_id_$variant: zarn: severe: callsign character '#' at position 3 has no Morse code"
done

# Arguments separated by |; @ is where the executable takes its file name.
cases=(
  'Q1ABC|20|@'
  'Q1ABC/M|25|@|600|ignored'
  'q1abc|12.5|@|800'
  '-r|8000|-e|ulaw|--raw|--ramp|5|Q1ABC|20|@'
  '-r|16000|-e|s16|--ramp|5|--volume|-6|Q1ABC|20|@'
  '--text|--farnsworth|20|CQ CQ DE Q1ABC|10|@'
  '--text|--lead|500|--tail|2000|--ramp|5|VVV DE Q1ABC/B|12|@'
  '--rate=22050|-ealaw|--raw|--|Q1ABC|2D1|@|700'
  '-r|48000|-e|s16|0000000000|1.5|@'
  'Q1ABC|0|@' 'Q1ABC|2x|@' 'Q1#BC|20|@' 'Q1ABC|20|@|--raw' '--rate|7999|Q1ABC|20|@'
  '--ramp|100|Q1ABC|20|@' '--text|CQ <AR|20|@' '-r|8000|Q1ABC|20|@|5000' 'Q1ABC|,|@'
  'Q1ABC' '--help' '-V|Q1ABC|20|@' '--rate'
  '-f|message.txt'
)
printf 'CQ DE Q1ABC\n73\n' >message.txt
for row in "${cases[@]}"; do
  IFS='|' read -ra fields <<<"$row"
  cli_args=()
  lib_args=()
  for a in "${fields[@]}"; do
    if [[ "$a" == @ ]]; then cli_args+=(want.out); else cli_args+=("$a") lib_args+=("$a"); fi
  done
  rm -f want.out got.out
  "$ZARN" "${cli_args[@]}" >want.stdout 2>want.stderr && want_status=0 || want_status=$?
  ./client got.out "${lib_args[@]}" >got.stdout 2>got.stderr && got_status=0 || got_status=$?
  check "$row: status" "$got_status" "$want_status"
  check "$row: standard output" "$(cmp want.stdout got.stdout 2>&1)" ""
  check "$row: diagnostic" "$(<got.stderr)" "$(<want.stderr)"
  if [[ -e want.out ]]; then
    check "$row: bytes" "$(cmp want.out got.out 2>&1)" ""
  else
    check "$row: no bytes" "$([[ -e got.out ]] && echo written)" ""
  fi
done
# The library reads no file and no standard input through its argument
# list: the option as written, then the arguments.
for row in '-f|-f|message.txt|20' '--text-file|-p|asterisk|--text-file|-|20|600' '-f|-f|/dev/stdin|20'; do
  IFS='|' read -ra fields <<<"$row"
  rm -f got.out
  ./client got.out "${fields[@]:1}" </dev/null >got.stdout 2>got.stderr && got_status=0 || got_status=$?
  check "$row: refused" "$got_status" 2
  check "$row: in words" "$(<got.stderr)" \
    "zarn: severe: option ${fields[0]}: this caller reads no files and no standard input; give the text itself"
  check "$row: no bytes" "$([[ -e got.out ]] && echo written)" ""
done
finish
