#!/usr/bin/env bash
# The installed library as a C program uses it: `cmake --install`, then
# pkg-config, then the same bytes, texts and statuses as the executable.
# Usage: tests/library.sh path/to/zarn path/to/build [cc flags the build needs]
set -uo pipefail
build=$(readlink -f "${2:?usage: $0 path/to/zarn path/to/build}")
client_source=$(readlink -f "$(dirname "$0")/library_client.c")
source "$(dirname "$0")/harness.sh"
need pkg-config pkg-config
need cc gcc

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null ||
  { echo "FAIL: cmake --install failed"; exit 1; }
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$(find "$scratch/prefix" -name zarn.pc)")
# shellcheck disable=SC2046 # pkg-config's flags are meant to split
cc -std=c11 -Wall -Wextra -Werror ${3:-} "$client_source" $(pkg-config --cflags --libs zarn) -o client
check "client built with pkg-config" "$([[ -x client ]] && echo yes)" yes

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
  '-f|message.txt|20|@' '-p|asterisk|-f|message.txt|20|@|600' '-f|message.txt'
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
finish
