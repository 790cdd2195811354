#!/usr/bin/env bash
# Installs the build in $1 into a temporary DESTDIR under /usr and checks what a desktop needs:
# the program and nothing else of the build, a valid menu entry that names the program and its
# icon, the icon as SVG and in every PNG size, metadata for software centres that agree with the
# menu entry, the compressed manual page, and that the installed program starts.
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
bound_bytes=1073741824
# shellcheck source=../scripts/lib/helpers.sh
source "$(dirname "$0")/../scripts/lib/helpers.sh"

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr
icons=share/icons/hicolor
expected=(bin/progen share/applications/progen.desktop "$icons/scalable/apps/progen.svg"
  share/metainfo/progen.metainfo.xml share/man/man1/progen.1.gz)
for size in 16 32 48 64 128 256; do
  expected+=("$icons/${size}x${size}/apps/progen.png")
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$usr" && find . -type f | sed 's|^\./||' | sort) ||
  fail "installed files differ from the expected ones (< expected, > installed)"

[ -x "$usr/bin/progen" ] || fail "bin/progen is not executable"
entry=$usr/share/applications/progen.desktop
desktop-file-validate "$entry" || fail "the menu entry is not valid"
for line in 'Name=Programovatelný generátor' 'Exec=progen' 'Icon=progen' \
  'Categories=AudioVideo;Audio;'; do
  grep -qxF "$line" "$entry" || fail "the menu entry lacks '$line'"
done
grep -q '<svg' "$usr/$icons/scalable/apps/progen.svg" || fail "the scalable icon is no SVG"
for size in 16 32 48 64 128 256; do
  actual=$(identify -format '%m %wx%h' "$usr/$icons/${size}x${size}/apps/progen.png")
  [ "$actual" = "PNG ${size}x${size}" ] || fail "the ${size}x${size} icon is $actual"
done

# The metadata name the menu entry that is installed beside them.
timeout 60 appstreamcli validate-tree --no-net --strict \
  --override cid-desktopapp-is-not-rdns=pedantic "$root" >/dev/null ||
  fail "software centres would not take the installed metadata"
zcat "$usr/share/man/man1/progen.1.gz" | cmp -s - "$build/desktop/progen.1" ||
  fail "the installed manual page is not the built one, compressed"

# It writes its tone file into its working folder as soon as it starts.
cd "$root"
QT_QPA_PLATFORM=offscreen PROGEN_AUDIO=null PROGEN_MIXER="file:$root/mixer.txt" \
  launch 60 "$usr/bin/progen" 2>/dev/null
program=$launched
wait_until 10 test -s pokus.wav || true
kill -0 "$program" 2>/dev/null || fail "the installed program ended by itself"
kill -TERM "$program"
wait "$program" || true
[ -s pokus.wav ] || fail "the installed program wrote no tone file"
echo "installed layout and program OK"
