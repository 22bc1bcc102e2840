#!/usr/bin/env bash
# Builds the Debian package of this build into a temporary folder and checks
# its control fields, its contents and lintian's verdict.
#
#   debian-package.sh BUILD_DIR GUI(ON|OFF) contents|lintian
#
# Exit 77: the tool this check needs is not on the machine (skipped).
set -euo pipefail
build=$1 gui=$2 what=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || { echo "skipped: $1 is not installed"; exit 77; }; }
need dpkg-deb
need dpkg-shlibdeps
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$build" && cpack -G DEB -B "$tmp" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$tmp"/sentrel_*.deb)
[ "$(basename "$deb")" = "sentrel_2.0-1_$(dpkg --print-architecture).deb" ] || fail "file name $(basename "$deb")"

case $what in
contents)
  [ "$(dpkg-deb -f "$deb" Package)" = sentrel ] || fail "Package"
  [ "$(dpkg-deb -f "$deb" Version)" = 2.0-1 ] || fail "Version"
  depends=$(dpkg-deb -f "$deb" Depends)
  # The runtime packages come from the binaries' own links (dpkg-shlibdeps).
  wanted=(libcurl4 libsqlite3-0 libgumbo1 libpcre2-16-0 libqt6core6 zlib1g)
  [ "$gui" = ON ] && wanted+=(libqt6widgets6 libqt6multimedia6)
  for p in "${wanted[@]}"; do
    grep -qE "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
  done
  grep -qE -- '-dev( |,|$)' <<<"$depends" && fail "Depends names a development package: $depends"
  files=$(dpkg-deb -c "$deb" | awk '{print $6}')
  for f in ./usr/bin/sentrel-cli ./usr/share/sentrel/empty.db ./usr/share/man/man1/sentrel-cli.1.gz \
           ./usr/share/doc/sentrel/copyright ./usr/lib/systemd/user/sentrel-check.timer; do
    grep -qx -- "$f" <<<"$files" || fail "the package lacks $f"
  done
  # Nothing in the package outside /usr, nothing a user owns.
  grep -qvE '^\./(usr/.*)?$' <<<"$files" && fail "files outside /usr: $(grep -vE '^\./(usr/.*)?$' <<<"$files")"
  # Installed binaries are stripped (the package carries no debug info).
  dpkg-deb -x "$deb" "$tmp/root"
  file "$tmp/root/usr/bin/sentrel-cli" | grep -q 'stripped' && ! file "$tmp/root/usr/bin/sentrel-cli" | grep -q 'not stripped' ||
    fail "sentrel-cli is not stripped"
  ;;
lintian)
  need lintian
  # Warnings and errors fail; each finding that does not apply is overridden
  # and explained in packaging/lintian-overrides.
  out=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $out"
  echo "$out"
  ;;
*)
  fail "unknown check $what"
  ;;
esac
echo "ok: $what"
