#!/usr/bin/env bash
# The systemd user units (sentrel-check.service and .timer) as a user's
# manager would load them: `systemd-analyze verify --user` must print nothing.
# verify also checks that ExecStart's program exists, so the copies verified
# here differ from the packaged files in one place only: the installed path
# /usr/bin/sentrel-cli becomes the built program. When the manual page is in
# the tree, Documentation=man:sentrel-cli(1) is looked up in it as well.
#
# Usage: systemd-units.sh PACKAGING_DIR SENTREL_CLI
set -euo pipefail

packaging=$1
cli=$2
case $cli in /*) ;; *) cli=$PWD/$cli ;; esac

if ! command -v systemd-analyze >/dev/null 2>&1; then
  echo "SKIP: systemd-analyze is not installed"
  exit 77
fi

service=$packaging/systemd/sentrel-check.service
timer=$packaging/systemd/sentrel-check.timer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The package installs the program as /usr/bin/sentrel-cli; a unit naming any
# other path would fail on users' machines while passing here.
installed='ExecStart=/usr/bin/sentrel-cli check --all'
if [ "$(grep -c '^ExecStart=' "$service")" != 1 ] || ! grep -qxF "$installed" "$service"; then
  echo "FAIL: $service must start exactly: $installed"
  exit 1
fi

mkdir -p "$work/units"
sed "s|^ExecStart=/usr/bin/sentrel-cli |ExecStart=$cli |" "$service" > "$work/units/sentrel-check.service"
cp "$timer" "$work/units/sentrel-check.timer"
if cmp -s "$service" "$work/units/sentrel-check.service"; then
  echo "FAIL: the ExecStart path was not replaced in the copy"
  exit 1
fi

man_option=--man=no
if [ -f "$packaging/man/sentrel-cli.1" ] && command -v man >/dev/null 2>&1; then
  mkdir -p "$work/man/man1"
  cp "$packaging/man/sentrel-cli.1" "$work/man/man1/"
  export MANPATH=$work/man
  man_option=--man=yes
else
  echo "note: no manual page in the tree, Documentation= not looked up"
fi

# A user manager of its own: no drop-ins from the caller's ~/.config, and a
# runtime folder even where no login session provides one.
mkdir -p "$work/home/.config" "$work/runtime"
chmod 700 "$work/runtime"
status=0
out=$(HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime \
      systemd-analyze verify --user "$man_option" \
      "$work/units/sentrel-check.service" "$work/units/sentrel-check.timer" 2>&1) || status=$?
if [ "$status" != 0 ] || [ -n "$out" ]; then
  echo "FAIL: systemd-analyze verify (exit $status):"
  printf '%s\n' "$out"
  exit 1
fi
echo "systemd-analyze verify --user $man_option: both units load cleanly"
