#!/usr/bin/env bash
# Checks the manual page $1: man renders it without a warning, its NAME line is one that whatis
# can index, it has the sections a reader looks for, and its ENVIRONMENT section documents exactly
# the PROGEN_ variables that the program's sources under $2 read.
set -euo pipefail
page=$1
sources=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bound_bytes=1073741824
# shellcheck source=../scripts/lib/helpers.sh
source "$(dirname "$0")/../scripts/lib/helpers.sh"

MANWIDTH=80 bounded 30 man --warnings -l "$page" >"$work/page" 2>"$work/warnings" ||
  fail "man could not render $page"
[ ! -s "$work/warnings" ] || {
  cat "$work/warnings"
  fail "man warns about $page"
}

bounded 30 lexgrog "$page" | grep -qF '"progen - programmable audio test-tone generator"' ||
  fail "the NAME line is not one whatis can index"

for section in NAME SYNOPSIS DESCRIPTION OPTIONS 'MIXER LEVELS' ENVIRONMENT FILES 'EXIT STATUS'; do
  grep -qx "$section" "$work/page" || fail "no section $section"
done

# Each variable is the tag of an entry: alone on its line, indented as a tag.
sed -n '/^ENVIRONMENT$/,/^[A-Z]/p' "$work/page" | grep -oE '^ {7}PROGEN_[A-Z_]+$' |
  tr -d ' ' | sort -u >"$work/documented"
grep -rhoE 'getenv\("PROGEN_[A-Z_]+"\)' "$sources/app" "$sources/audio" |
  sed -E 's/getenv\("(.*)"\)/\1/' | sort -u >"$work/read"
[ -s "$work/read" ] || fail "found no PROGEN_ variable read in $sources"
diff "$work/read" "$work/documented" ||
  fail "the variables the program reads (<) and those the page documents (>) differ"
echo "manual page OK"
