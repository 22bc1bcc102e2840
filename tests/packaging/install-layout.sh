#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user of the
# installed programs relies on.
#
#   install-layout.sh BUILD_DIR GUI(ON|OFF) files|cli|desktop|appstream|man
#
# Exit 77: the tool this check needs is not on the machine (skipped).
set -euo pipefail
build=$1 gui=$2 what=$3
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
prefix=$tmp/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || { echo "skipped: $1 is not installed"; exit 77; }; }

case $what in
files)
  expected=(
    bin/sentrel-cli
    share/sentrel/empty.db
    share/sentrel/Languages/LanguageCodes.csv
    share/sentrel/Languages/German.lang.txt
    share/man/man1/sentrel-cli.1.gz
    share/bash-completion/completions/sentrel-cli
    lib/systemd/user/sentrel-check.service
    lib/systemd/user/sentrel-check.timer
    share/doc/sentrel/copyright
    share/doc/sentrel/changelog.Debian.gz
  )
  if [ "$gui" = ON ]; then
    expected+=(
      bin/sentrel
      share/man/man1/sentrel.1.gz
      share/sentrel/sounds/changed.wav
      share/sentrel/icons/sentrel.svg
      share/applications/sentrel.desktop
      share/metainfo/example.orlith.Sentrel.metainfo.xml
      share/icons/hicolor/scalable/apps/sentrel.svg
    )
    for size in 16 22 24 32 48 64 128 256 512; do
      expected+=(share/icons/hicolor/${size}x${size}/apps/sentrel.png)
    done
  fi
  for f in "${expected[@]}"; do
    [ -s "$prefix/$f" ] || fail "missing or empty: $f"
  done
  [ -x "$prefix/bin/sentrel-cli" ] || fail "sentrel-cli is not executable"
  # Each theme PNG has the size its folder names (width and height from the
  # PNG header), and the sound is a wave file.
  if [ "$gui" = ON ]; then
    for png in "$prefix"/share/icons/hicolor/*x*/apps/sentrel.png; do
      folder=$(basename "$(dirname "$(dirname "$png")")")
      actual=$(od -An -tu1 -j16 -N8 "$png" | awk '{printf "%dx%d", $3*256+$4, $7*256+$8}')
      [ "$actual" = "$folder" ] || fail "$png is $actual"
    done
    wav=$prefix/share/sentrel/sounds/changed.wav
    [ "$(head -c 4 "$wav")$(tail -c +9 "$wav" | head -c 4)" = RIFFWAVE ] || fail "changed.wav is not a wave file"
  fi
  ;;
cli)
  # The installed program keeps its data in the per-user folder and writes
  # nothing among its installed files, although root can write to bin/.
  home=$tmp/home
  mkdir -p "$home" "$tmp/cwd"
  before=$(cd "$prefix" && find . | sort)
  cli() { (cd "$tmp/cwd" && env -u XDG_DATA_HOME HOME="$home" "$prefix/bin/sentrel-cli" "$@"); }
  [ "$(cli --version)" = "Sentrel 2.0" ] || fail "--version: $(cli --version)"
  [ "$(cli add example.org)" = "http://example.org" ] || fail "add"
  [ "$(cli list | cut -f1)" = "http://example.org" ] || fail "list: $(cli list)"
  [ -s "$home/.local/share/Orlith/Sentrel/websites.db" ] || fail "no store in the per-user folder"
  after=$(cd "$prefix" && find . | sort)
  [ "$before" = "$after" ] || fail "the installed tree changed: $(diff <(echo "$before") <(echo "$after"))"
  [ -z "$(ls -A "$tmp/cwd")" ] || fail "files written to the working folder"
  # XDG_DATA_HOME moves the per-user folder.
  (cd "$tmp/cwd" && HOME="$home" XDG_DATA_HOME="$tmp/xdg" "$prefix/bin/sentrel-cli" add example.net >/dev/null)
  [ -s "$tmp/xdg/Orlith/Sentrel/websites.db" ] || fail "XDG_DATA_HOME not followed"
  ;;
desktop)
  [ "$gui" = ON ] || { echo "skipped: built without the desktop program"; exit 77; }
  need desktop-file-validate
  out=$(desktop-file-validate "$prefix/share/applications/sentrel.desktop" 2>&1) || fail "$out"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
  grep -qx 'Categories=Network;Monitor;' "$prefix/share/applications/sentrel.desktop" || fail "categories"
  ;;
appstream)
  [ "$gui" = ON ] || { echo "skipped: built without the desktop program"; exit 77; }
  need appstreamcli
  appstreamcli validate --no-net "$prefix/share/metainfo/example.orlith.Sentrel.metainfo.xml" ||
    fail "appstreamcli validate"
  ;;
man)
  need man
  for page in sentrel-cli $([ "$gui" = ON ] && echo sentrel); do
    text=$(MANPATH="$prefix/share/man" MANWIDTH=80 man "$page" 2>&1) || fail "man $page: $text"
    grep -q "^NAME" <<<"$text" || fail "man $page shows no NAME section"
    grep -q "$page" <<<"$text" || fail "man $page does not name the program"
  done
  ;;
*)
  fail "unknown check $what"
  ;;
esac
echo "ok: $what"
