# Shared by the shell tests: checks that count, a closing tally, and skipping.
# Sourced, not run. Each test script gets the tool's path as its first argument.

passed=0
failed=0

# skip REASON: the whole script cannot run here. That fails the test, so that
# a run that proves less says so, unless the person running the tests asked
# to skip what the machine cannot run (ZARN_SKIP_MISSING_TOOLS, or CMake's
# option of that name), when it is a skip, which ctest's summary names.
skip() {
  case ${ZARN_SKIP_MISSING_TOOLS:-} in
  "" | 0 | [Oo][Ff][Ff] | [Nn][Oo] | [Ff][Aa][Ll][Ss][Ee])
    echo "FAIL: $* (or set ZARN_SKIP_MISSING_TOOLS=1 to skip what cannot run here)"
    exit 1
    ;;
  esac
  echo "SKIP: $*"
  exit 77
}

# need COMMAND PACKAGE: COMMAND must be on the PATH.
need() {
  command -v "$1" >/dev/null 2>&1 || skip "$1 not found (Debian package: $2)"
}

# check NAME ACTUAL EXPECTED
check() {
  if [[ "$2" == "$3" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL: %s\n  got:      %q\n  expected: %q\n' "$1" "$2" "$3"
  fi
}

# run_zarn ARGS...: runs the tool; sets $status and $err (standard error).
run_zarn() {
  local errfile
  errfile=$(mktemp)
  "$ZARN" "$@" 2>"$errfile" && status=0 || status=$?
  err=$(<"$errfile")
  rm -f "$errfile"
}

# heard RATE WPM FILE: what a Morse decoder hears in FILE, bare 16-bit samples
# at RATE, sent at WPM.
heard() {
  local dit=$((1200 / $2))
  sox -t s16 -r "$1" -c 1 "$3" -r 22050 -t s16 - vol 0.5 pad 0 1 2>/dev/null |
    multimon-ng -q -a MORSE_CW -d "$dit" -g "$dit" -t raw - 2>/dev/null | tr -d ' \n'
}

finish() {
  echo "$passed passed, $failed failed"
  ((failed == 0))
}

ZARN=$(readlink -f "$1")
[[ -x "$ZARN" ]] || { echo "usage: $0 path/to/zarn" >&2; exit 2; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
