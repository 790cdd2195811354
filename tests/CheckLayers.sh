#!/usr/bin/env bash
# Fails when a layer includes one above it: synth < audio (audio/platform included) < app, with
# tests, benchmarks and fuzz targets above them all; when anything below app includes Qt; and when
# a folder of audio/platform includes a sibling it does not build on (the list below). The files at
# audio/platform's root, the API and its owner, are open to all of them.
# First it plants one bad include of each kind in a scratch tree and makes sure each is caught.
#   tests/CheckLayers.sh SOURCE_DIR
set -euo pipefail
ulimit -v 1048576 # KiB: a runaway fails here instead of taking the machine
root=$(realpath "$1")

# The rank of the layer a path below $2 lies in; above every layer for the rest of the tree.
rank() {
  case ${1#"$2"/} in
    synth/*) echo 0 ;;
    audio/*) echo 1 ;;
    app/*) echo 2 ;;
    *) echo 3 ;;
  esac
}

# The sibling folders of audio/platform that each one builds on.
declare -A builds_on=(
  [util]=""
  [system]="util"
  [sinks]="util"
  [mixer]="util"
  [levels]="util system mixer"
  [waveout]="util system sinks"
)

# The folder of audio/platform that a path below $2 lies in, if any.
platform_folder() {
  local inside=${1#"$2"/audio/platform/}
  [[ $1 == "$2"/audio/platform/*/* ]] && echo "${inside%%/*}"
}

# Whether the file $1 may include the file $2, both below tree $3, as far as audio/platform's
# folders go.
sibling_allowed() {
  local own target
  own=$(platform_folder "$1" "$3") || return 0
  target=$(platform_folder "$2" "$3") || return 0
  [ "$own" = "$target" ] || [[ " ${builds_on[$own]-} " == *" $target "* ]]
}

# Prints "file:line: why" for every include in tree $1 that reaches above the including file's
# layer; fails when there is one. A quoted include is found beside the file first, else from the
# root, as the compiler finds it.
quoted='#[[:space:]]*include[[:space:]]*"([^"]+)"'
qt='#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]|q[a-z0-9_]+\.h>)'
check_tree() {
  local tree=$1 found=0 file number text own target resolved
  while IFS=: read -r file number text; do
    own=$(rank "$file" "$tree")
    if [[ $text =~ $quoted ]]; then
      target=${BASH_REMATCH[1]}
      resolved=${file%/*}/$target
      [ -e "$resolved" ] || resolved=$tree/$target
      [[ $resolved != */../* ]] || resolved=$(realpath -m "$resolved")
      if [ "$(rank "$resolved" "$tree")" -gt "$own" ]; then
        echo "${file#"$tree"/}:$number: includes a layer above it: $target"
        found=1
      elif ! sibling_allowed "$file" "$resolved" "$tree"; then
        echo "${file#"$tree"/}:$number: includes a folder it does not build on: $target"
        found=1
      fi
    elif [[ $text =~ $qt ]] && [ "$own" -lt 2 ]; then
      echo "${file#"$tree"/}:$number: includes Qt below app: $text"
      found=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' --include='*.h' --include='*.cpp' \
    "$tree/synth" "$tree/audio" "$tree/app" 2>/dev/null || true)
  return $found
}

# Each planted file must be named, and the clean ones must not.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
plant() { mkdir -p "$(dirname "$scratch/$1")" && printf '%s\n' "$2" >"$scratch/$1"; }
plant synth/Up.cpp '#include "audio/platform/MMSystem.h"'
plant synth/Qt.h '#include <QtCore/QString>'
plant audio/Up.h '#include "app/ProgGenerator.h"'
plant audio/Qt.cpp '  #  include <QWidget>'
plant audio/Tests.cpp '#include "tests/support/CallRecorder.h"'
plant audio/platform/Up.cpp '#include "app/controls/Edit.h"'
plant audio/platform/Relative.cpp '#include "../../app/ErrorBox.h"'
plant audio/platform/QtLower.cpp '#include <qdrawutil.h>'
plant app/Bench.h '#include "bench/RecordedFrames.h"'
plant app/ErrorBox.h '#include <QString>'
plant audio/platform/MMSystem.h '#include <cstdint>'
plant audio/platform/Beside.cpp '#include "MMSystem.h"'
plant audio/Down.cpp '#include "synth/Bands.h"'
plant app/Down.cpp '#include "audio/platform/ProgramHooks.h"'
plant audio/platform/sinks/Up.cpp '#include "audio/platform/waveout/WaveOutEngine.h"'
plant audio/platform/util/Sideways.h '#include "../mixer/Mixer.h"'
plant audio/platform/waveout/Down.cpp '#include "audio/platform/sinks/Sink.h"'
plant audio/platform/levels/Root.cpp '#include "audio/platform/Platform.h"'
if report=$(check_tree "$scratch"); then
  echo "CheckLayers: the planted includes were not caught" >&2
  exit 1
fi
for planted in synth/Up.cpp synth/Qt.h audio/Up.h audio/Qt.cpp audio/Tests.cpp \
  audio/platform/Up.cpp audio/platform/Relative.cpp audio/platform/QtLower.cpp app/Bench.h \
  audio/platform/sinks/Up.cpp audio/platform/util/Sideways.h; do
  grep -q "^$planted:" <<<"$report" || {
    echo "CheckLayers: missed the plant in $planted" >&2
    exit 1
  }
done
if [ "$(wc -l <<<"$report")" -ne 11 ]; then
  echo "CheckLayers: a clean include was reported:" >&2
  echo "$report" >&2
  exit 1
fi

check_tree "$root"
