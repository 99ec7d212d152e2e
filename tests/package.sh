#!/usr/bin/env bash
# What a user installs: `cmake --install` and the Debian package from the
# release build, and the manual page, which must lint clean and agree with
# --help.
# Usage: tests/package.sh path/to/build/release (after `cmake --workflow --preset package`).
set -uo pipefail
build=$(readlink -f "${1:?usage: $0 path/to/build/release}")
set -- "$build/zarn"
source "$(dirname "$0")/harness.sh"
need mandoc mandoc
need groff groff-base
need man man-db
need lintian lintian

check "mandoc lint" "$(mandoc -T lint "$build/zarn.1" 2>&1)" ""
check "groff warnings" "$(groff -man -Tutf8 -ww -z "$build/zarn.1" 2>&1)" ""

# The manual page's OPTIONS section against --help: every option, written as
# --help writes it (names and value name); for an option with a value, the
# --help description with its range and default in parentheses; and no
# option the summary lacks. The page is rendered without line breaks so that
# each paragraph is one line; blanks are squeezed and the case and the angle
# brackets of <wpm> are dropped before comparing.
normalise() { tr -s ' ' | sed 's/^ //; s/ $//' | tr -d '<>' | tr '[:upper:]' '[:lower:]'; }
# One line per option: the tag, a tab, the description (continuations joined).
help_options=$("$build/zarn" --help | awk '
  !/^ / { if (tag != "") print tag "\t" desc; tag = ""; next }
  /^  -/ || /^      --/ {
    if (tag != "") print tag "\t" desc
    line = $0; sub(/^ +/, "", line)
    split(line, parts, /  +/); tag = parts[1]; desc = substr(line, length(tag) + 1)
    next
  }
  tag != "" && /^                  / { desc = desc " " $0; next }
  END { if (tag != "") print tag "\t" desc }')
# mandoc writes bold and underlined text with backspaces; the first sed drops them.
manual_options=$(mandoc -T ascii -O width=1000 "$build/zarn.1" | sed 's/.\x08//g' |
  sed -n '/^OPTIONS$/,/^[A-Z]/p')
check "--help lists options" "$([[ $(wc -l <<<"$help_options") -ge 11 ]] && echo yes)" yes
check "manual page lists as many options as --help" \
  "$(grep -c '^       -' <<<"$manual_options")" "$(wc -l <<<"$help_options")"
while IFS=$'\t' read -r tag description; do
  # The option's paragraph: the rest of its tag line and the lines below it.
  paragraph=$(awk -v tag="$tag" '
    found && (/^       [^ ]/ || /^[^ ]/) { exit }
    found { print; next }
    substr($0, 1, 7 + length(tag)) == "       " tag && substr($0, 8 + length(tag), 1) ~ /^( |)$/ {
      found = 1; print "listed" substr($0, 8 + length(tag))
    }' <<<"$manual_options" | tr '\n' ' ' | normalise)
  check "manual page has $tag" "$([[ "$paragraph" == listed* ]] && echo yes)" yes
  [[ "$tag" == *" "[A-Z]* ]] || continue  # a flag: no range, no default
  wanted=$(normalise <<<"$description")
  check "manual page gives $tag as --help does" \
    "$([[ "$paragraph" == *"$wanted"* ]] && echo "$wanted" || echo "${paragraph#listed}")" "$wanted"
done <<<"$help_options"

# Every preset --help lists has its entry in the manual's PRESETS section.
help_presets=$("$build/zarn" --help | sed -n '/^A preset/,$p' | awk '/^  [a-z]/ { print $1 }')
check "--help lists presets" "$([[ $(wc -l <<<"$help_presets") -ge 4 ]] && echo yes)" yes
check "manual page lists the presets --help lists" \
  "$(mandoc -T ascii -O width=1000 "$build/zarn.1" | sed 's/.\x08//g' |
    sed -n '/^PRESETS$/,/^[A-Z]/p' | awk '/^       [a-z]/ { print $1 }')" "$help_presets"

# cmake --install into a prefix of our own.
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
check "installed tool" "$([[ -x prefix/bin/zarn ]] && echo yes)" yes
check "installed manual page" "$(gzip -dc prefix/share/man/man1/zarn.1.gz | cmp - "$build/zarn.1" &&
  echo same)" same
check "manual page renders" "$(MANWIDTH=80 man -l prefix/share/man/man1/zarn.1.gz 2>&1 | head -n 4 |
  tail -n 1)" "       zarn - write a callsign or a message in Morse code as a sound file"
prefix/bin/zarn Q1ABC 20 id.wav
check "installed tool runs" "$(stat -c %s id.wav)" 46349

# The Debian package.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
deb="$build/zarn_${version}_${arch}.deb"
check "package built" "$([[ -f "$deb" ]] && echo yes)" yes
check "package name" "$(dpkg-deb -f "$deb" Package)" zarn
check "package version" "$(dpkg-deb -f "$deb" Version)" "$version"
check "package architecture" "$(dpkg-deb -f "$deb" Architecture)" "$arch"
check "package summary" "$(dpkg-deb -f "$deb" Description | head -n 1)" \
  "Morse-code station identification as a WAV file"
# The description must keep up with the tool: every encoding and the rates.
description=$(dpkg-deb -f "$deb" Description)
for value in u8 s16 ulaw alaw gsm "8000 to 192000 Hz"; do
  check "package description names $value" "$([[ $description == *"$value"* ]] && echo yes)" yes
done
check "package files" "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)" \
  "./usr/bin/zarn
./usr/include/zarn.h
./usr/lib/$(gcc -print-multiarch)/libzarn.a
./usr/lib/$(gcc -print-multiarch)/pkgconfig/zarn.pc
./usr/share/doc/zarn/changelog.gz
./usr/share/doc/zarn/copyright
./usr/share/lintian/overrides/zarn
./usr/share/man/man1/zarn.1.gz"
# Debian's checks: no error and no warning (lintian exits 0 with warnings).
lint=$(lintian "$deb" 2>/dev/null) && lint_status=0 || lint_status=$?
check "lintian: errors and warnings" "$lint_status $(grep -E '^[EW]: ' <<<"$lint")" "0 "
dpkg -x "$deb" unpacked
unpacked/usr/bin/zarn Q1ABC 20 from-deb.wav
check "packaged tool writes the same file" "$(cmp from-deb.wav id.wav && echo same)" same

finish
