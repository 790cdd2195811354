# shellcheck shell=bash
# A minimal Debian 12 root for checks (scripts/check-deb, scripts/check-setup): made once by
# debootstrap and kept in a cache folder; each run writes to an overlay of its own over it, in
# mount and PID namespaces of the check's own, so that the cached root stays as it was made and
# the run's mounts and processes go when it ends. Needs helpers.sh.

# What every program in the root starts with, instead of the check's environment.
clean=(/usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8)

no_mounts_under() {
  ! findmnt -rn -o TARGET | grep -q "^$1/" || fail "something is still mounted under $1"
}

# Makes $1/debian12 from the Debian 12 sources this machine's apt uses, unless it is there.
root_make() {
  local cache=$1
  [ ! -e "$cache/debian12.complete" ] || return 0
  local made=$SECONDS sources mirror
  # shellcheck disable=SC2016 # apt's own placeholders
  sources=$(apt-get indextargets --format '$(SITE) $(RELEASE) $(COMPONENT)' |
    awk '$2 ~ /^bookworm(-updates|-security)?$/ && $3 == "main" { print "deb", $1, $2, $3 }' |
    sort -u)
  mirror=$(awk '$3 == "bookworm" { print $2; exit }' <<<"$sources")
  [ -n "$mirror" ] || fail "this machine's apt has no source of Debian 12 (bookworm) main"
  step "a minimal Debian 12 root from $mirror (once per build folder)"
  no_mounts_under "$cache"
  rm -rf --one-file-system "$cache/debian12"
  mkdir -p "$cache"
  bounded 1800 unshare --mount debootstrap --variant=minbase \
    --arch="$(dpkg --print-architecture)" bookworm "$cache/debian12" "$mirror" \
    >"$cache/debootstrap.log" 2>&1 || {
    tail -20 "$cache/debootstrap.log" >&2
    fail "debootstrap failed (the whole log: $cache/debootstrap.log)"
  }
  echo "$sources" >"$cache/debian12/etc/apt/sources.list"
  touch "$cache/debian12.complete"
  step "made the root in $((SECONDS - made)) s"
}

# Runs "$0 --inside ARGS..." (the arguments after $1) in namespaces of its own, with $1/run
# cleared before and after.
root_run() {
  local cache=$1 status=0
  shift
  no_mounts_under "$cache"
  rm -rf --one-file-system "$cache/run"
  bounded 1800 unshare --mount --pid --fork --kill-child "$0" --inside "$@" || status=$?
  no_mounts_under "$cache"
  rm -rf --one-file-system "$cache/run"
  return "$status"
}

# In the namespaces: mounts at $root the root made in $cache, with the layers $2 (overlay lower
# folders, topmost first) over it and $3 (default $cache/run/upper) taking the writes, and what
# programs there need (proc, dev, the name servers). Packages apt downloads are kept in
# $cache/archives, so only the first run fetches them. `leave` undoes it at exit.
root_enter() {
  cache=$1
  root=$cache/run/root
  local lower=${2:+$2:}$cache/debian12 upper=${3:-$cache/run/upper}
  mounted=()
  background=()
  trap leave EXIT
  mkdir -p "$upper" "$cache/run/work" "$root" "$cache/archives"
  mount_at -t overlay overlay -o "lowerdir=$lower,upperdir=$upper,workdir=$cache/run/work" "$root"
  mount_at -t proc proc "$root/proc"
  mount_at --bind /dev "$root/dev"
  mount_at --bind /dev/pts "$root/dev/pts"
  mount_at -t tmpfs -o size=64m tmpfs "$root/dev/shm"
  mount_at --bind "$cache/archives" "$root/var/cache/apt/archives"
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
}

mount_at() {
  mount "$@"
  mounted+=("${*: -1}")
}

# Ends what the run started and unmounts in reverse order. The namespaces take both with them
# anyway, but not when the stage is run without them, as when it is being debugged.
leave() {
  local pid i
  for pid in "${background[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}"
  done
}

# Runs a command in the root with a clean environment, bounded by $1 seconds.
in_root() {
  local seconds=$1
  shift
  bounded "$seconds" chroot "$root" "${clean[@]}" "$@"
}

# apt-get update in the root, its output in $cache/update.log.
root_update() {
  in_root 300 apt-get update -q -o Acquire::Retries=3 >"$cache/update.log" 2>&1 ||
    log_fail update "apt-get update failed"
}

log_fail() {
  tail -30 "$cache/$1.log" >&2
  fail "$2 (the whole log: $cache/$1.log)"
}
