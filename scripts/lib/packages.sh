# shellcheck shell=bash
# What the scripts know of Debian packages; sourced by scripts/install-deps, which unpacks the
# sound servers' packages, and scripts/sound-server, which runs them.
#
# The tests' sound servers and their tools are unpacked into the project's cache, never installed:
# as packages they would replace a desktop's sound stack (pulseaudio conflicts with pipewire-alsa),
# enable servers for every user's session (pipewire, wireplumber and pulseaudio ship user units),
# route the machine's ALSA "default" (pipewire-alsa) or add system services (alsa-utils). Only
# the libraries they link are installed as packages: those start nothing. Each row: the package;
# the installed library whose version it takes, as their binaries and modules go in lockstep (the
# candidate when that one is not installed; - for the candidate); the libraries it needs, or all
# of its Depends that are libraries.
unpacked_packages=(
  "pipewire-bin libpipewire-0.3-0 all"
  "pipewire-alsa libpipewire-0.3-0 all"
  "wireplumber libwireplumber-0.4-0 all"
  "pulseaudio libpulse0 all"
  "pulseaudio-utils libpulse0 all"
  # Only its pulse plugins are used; the others would bring FFmpeg's and JACK's libraries.
  "libasound2-plugins - libpulse0"
  "alsa-utils - all"
)
# The packages of a machine's sound stack, which the set-up must never upgrade, replace or remove.
# shellcheck disable=SC2034 # read by the scripts that source this
sound_stack='^(pipewire|libpipewire|libspa|wireplumber|libwireplumber|pulseaudio|libpulse|libasound2|alsa-)'
unpacked_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/.cache/unpacked

# The version of package $1 that is installed, if it is.
installed_version() {
  local status
  status=$(dpkg-query -W -f='${db:Status-Status} ${Version}' "$1" 2>/dev/null) || return 1
  [ "${status%% *}" = installed ] && echo "${status#* }"
}

candidate_version() {
  apt-cache policy "$1" 2>/dev/null | awk '$1 == "Candidate:" && $2 != "(none)" { print $2; ok = 1 }
    END { exit !ok }'
}

# The row of unpacked package $1, split: package, version's library, libraries it needs.
unpacked_row() {
  local row
  for row in "${unpacked_packages[@]}"; do
    [ "${row%% *}" != "$1" ] || { echo "$row"; return 0; }
  done
  return 1
}

unpacked_version() {
  local package library
  read -r package library _ < <(unpacked_row "$1") || return 1
  if [ "$library" != - ] && installed_version "$library"; then
    return 0
  fi
  candidate_version "$package"
}

# The folder package $1 is unpacked in, at the version it should have; it may not exist yet.
unpacked_dir() {
  local version
  version=$(unpacked_version "$1") || return 1
  echo "$unpacked_root/$1_$version"
}
