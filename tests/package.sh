#!/usr/bin/env bash
# What a user installs: `cmake --install` and the Debian package from the
# release build, and the manual page, which must lint clean.
# Usage: tests/package.sh path/to/build/release (after `cmake --workflow --preset package`).
set -uo pipefail
build=$(readlink -f "${1:?usage: $0 path/to/build/release}")
source_dir=$(readlink -f "$(dirname "$0")/..")
set -- "$build/zarn"
source "$(dirname "$0")/harness.sh"
need mandoc mandoc
need groff groff-base
need man man-db

check "mandoc lint" "$(mandoc -T lint "$source_dir/docs/zarn.1" 2>&1)" ""
check "groff warnings" "$(groff -man -ww -z "$source_dir/docs/zarn.1" 2>&1)" ""

# cmake --install into a prefix of our own.
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
check "installed tool" "$([[ -x prefix/bin/zarn ]] && echo yes)" yes
check "installed manual page" "$([[ -f prefix/share/man/man1/zarn.1 ]] && echo yes)" yes
check "manual page renders" "$(MANWIDTH=80 man -l prefix/share/man/man1/zarn.1 2>&1 | head -n 4 |
  tail -n 1)" "       zarn - write a station callsign as a Morse-code identification in a WAV"
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
check "package files" "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)" \
  "./usr/bin/zarn
./usr/share/man/man1/zarn.1"
dpkg -x "$deb" unpacked
unpacked/usr/bin/zarn Q1ABC 20 from-deb.wav
check "packaged tool writes the same file" "$(cmp from-deb.wav id.wav && echo same)" same

finish
