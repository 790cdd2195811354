# shellcheck shell=bash
# The helpers the scripts share; sourced, never run. Their lines start with $tag, the script's
# name unless it sets another before sourcing this.
tag=${tag:-$(basename "$0")}

step() { echo "$tag: $*"; }
fail() {
  echo "$tag: FAILED: $*" >&2
  exit 1
}

# Polls a command until it succeeds, for at most $1 seconds (fractions allowed).
wait_until() {
  local end
  end=$((${EPOCHREALTIME/./} + $(awk -v limit="$1" 'BEGIN { printf "%d", limit * 1e6 }')))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "${EPOCHREALTIME/./}" -lt "$end" ] || return 1
    sleep 0.02
  done
}

# Starts a program in the background with at most $1 seconds and $bound_bytes (default 4 GiB) of
# address space; its process id is then in $launched.
launch() {
  local seconds=$1
  shift
  timeout --kill-after=10 "$seconds" prlimit --as="${bound_bytes:-4294967296}" -- "$@" &
  launched=$!
}

# Runs a program so bounded and waits for it, its process id in $running meanwhile: in the
# background, so that a trap of the script can end it (timeout keeps it out of reach of the
# terminal's Ctrl+C).
running=""
bounded() {
  launch "$@"
  running=$launched
  local status=0
  wait "$running" || status=$?
  running=""
  return "$status"
}

# The CPU time of process $1 in clock ticks, user and system, its ended threads included.
process_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  awk '{ print $12 + $13 }' <<<"$stat"
}
