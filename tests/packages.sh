#!/usr/bin/env bash
# Every Debian package a test names is in tools/packages.txt, in a group that
# is installed to run it, so that a fresh machine gets what the tests need.
set -uo pipefail
tests=$(dirname "$(readlink -f "$0")")
source "$tests/harness.sh"

named=0
for script in "$tests"/*.sh "$tests"/*.py; do
  # package.sh runs after the package workflow, the rest in the test workflow.
  groups="build test page"
  [[ $(basename "$script") == package.sh ]] && groups="build package"
  # shellcheck disable=SC2086 # the groups are words
  listed=$("$tests/../tools/install-packages" --list $groups)
  # need COMMAND PACKAGE; "Debian package: P"; gstreamer.sh's [element]=P;
  # web_page.py's (tool, P) pairs.
  for package in $({
    grep -oP '(^\s*need \S+ |Debian package: |\]=(?=gstreamer))\K[a-z0-9][a-z0-9.+-]+' "$script"
    grep -P 'for tool, package in' "$script" | grep -oP ', "\K[a-z0-9.+-]+(?="\))'
  } | sort -u); do
    named=$((named + 1))
    check "$(basename "$script") names $package" "$(grep -qx -- "$package" <<<"$listed" && echo listed)" \
      listed
  done
done
check "the tests name their packages" "$((named >= 20))" 1

finish
