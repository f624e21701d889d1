#!/usr/bin/env bash
# The failure notice end to end: the built program, run unwatched, tells a notification
# service on a private session bus (and its standard error, the journal's line) when a run
# fails or cannot run, and says nothing when it goes well.
# Usage: failure_notice_test.sh BRISVEL. Exit 77 (skipped) without dbus-run-session or
# python3's D-Bus module.
set -u
brisvel=$1
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
[ -x "$python" ] || python=python3

if [ "${BRISVEL_ON_PRIVATE_BUS:-}" != 1 ]; then
  command -v dbus-run-session >/dev/null || { echo "no dbus-run-session: skipped"; exit 77; }
  "$python" -c 'import dbus, gi.repository.GLib' 2>/dev/null ||
    { echo "no D-Bus module for python3: skipped"; exit 77; }
  BRISVEL_ON_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
service=
cleanup() {
  [ -n "$service" ] && kill "$service" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  echo "notices:" >&2; cat "$work/notices" >&2 2>/dev/null
  echo "standard error:" >&2; cat "$work/err" >&2 2>/dev/null
  exit 1
}

"$python" "$here/testdata/fake_notification_service.py" "$work/notices" >"$work/service" 2>&1 &
service=$!
for _ in $(seq 300); do
  grep -q ready "$work/service" 2>/dev/null && break
  sleep 0.1
done
grep -q ready "$work/service" || fail "the notification service never started"

mkdir -p "$work/src" "$work/ok"
echo data >"$work/src/a.txt"
echo "not a folder" >"$work/blocked"
job() {  # NAME SOURCE DESTINATION [ATTRIBUTES]
  printf '<brisvel><job name="%s" copyfrom="%s" copyto="%s" %s/></brisvel>' "$1" "$2" "$3" "${4:-}"
}
job Broken "$work/src" "$work/blocked/dst" >"$work/broken.jbs"
job Fine "$work/src" "$work/ok" >"$work/fine.jbs"
job Drive "$work/src" "$work/unplugged" 'needsdrive="true"' >"$work/drive.jbs"

# Runs the program in the terminal with ARGS; checks its exit status, the last notice and
# the last line of standard error.
expect() {  # STATUS NOTICE LOGLINE ARGS...
  local status=$1 notice=$2 line=$3
  shift 3
  : >"$work/notices"
  env -u DISPLAY -u WAYLAND_DISPLAY "$brisvel" --console "$@" >/dev/null 2>"$work/err"
  local got=$?
  [ "$got" = "$status" ] || fail "$* ended with $got, not $status"
  [ "$(cat "$work/notices")" = "$notice" ] || fail "$*: notice '$(cat "$work/notices")'"
  [ "$(tail -n 1 "$work/err")" = "$line" ] || fail "$*: log line '$(tail -n 1 "$work/err")'"
}

expect 1 "Brisvel|Backup ended with errors|$work/broken.jbs: 1 error encountered.|brisvel" \
  "Brisvel: Backup ended with errors: $work/broken.jbs: 1 error encountered." \
  "$work/broken.jbs" silent
# Watched in the terminal, or gone well: nothing to tell.
expect 1 "" "" "$work/broken.jbs"
expect 0 "" "" "$work/fine.jbs" tray
expect 2 "Brisvel|Backup did not run|$work/gone.jbs: Job file not found.|brisvel" \
  "Brisvel: Backup did not run: $work/gone.jbs: Job file not found." \
  --scheduled "$work/gone.jbs" silent
expect 2 "Brisvel|Backup did not run|$work/drive.jbs: Backup drive not connected: $work/unplugged/|brisvel" \
  "Brisvel: Backup did not run: $work/drive.jbs: Backup drive not connected: $work/unplugged/" \
  --scheduled "$work/drive.jbs"
[ ! -e "$work/unplugged" ] || fail "the job without its drive created its destination"
echo "passed"
