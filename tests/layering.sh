#!/usr/bin/env bash
# The pipeline's order holds in the includes: a folder includes only its own
# and earlier ones (core/result.h, which depends on nothing, everywhere); and
# the library's objects hold no main, install no signal handler and print
# nothing. Usage: tests/layering.sh path/to/zarn path/to/libzarn.a
set -uo pipefail
root=$(readlink -f "$(dirname "$0")/..")
library=$(readlink -f "${2:?usage: $0 path/to/zarn path/to/libzarn.a}")
source "$(dirname "$0")/harness.sh"
need nm binutils

order=(morse keying render encode sound output core args lib web cli)
rank() {
  local i
  for i in "${!order[@]}"; do [[ "${order[$i]}" == "$1" ]] && echo "$i" && return; done
  echo -1
}
for folder in "${order[@]}"; do
  mine=$(rank "$folder")
  while IFS=: read -r file include; do
    [[ "$include" == core/result.h ]] && continue
    theirs=$(rank "${include%%/*}")
    ((theirs <= mine)) || check "$file includes $include, a later stage" "later" "earlier"
    [[ "$folder" == lib && "$include" == cli/* ]] && check "$file includes $include" cli "not cli"
  done < <(cd "$root" && grep -rHoE '^#include "[a-z]+/[^"]+"' "$folder" | sed 's/#include "//; s/"$//')
done
check "sound/plan.cc does not include the stream" \
  "$(grep -c 'sound/stream.h' "$root/sound/plan.cc")" 0

# Defined or called in the library: no main, no signal handling, no stdio.
symbols=$(nm -A "$library" 2>/dev/null | grep -E ' (T main|U (sigaction|signal|raise|exit|abort|puts|printf|fprintf|fputs|perror|fwrite))$')
check "libzarn.a: no main, signals, exits or prints" "$symbols" ""
finish
