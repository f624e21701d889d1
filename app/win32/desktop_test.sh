#!/usr/bin/env bash
# The built Windows program under Wine on a virtual X server, driven by clicks as a user would.
#   desktop_test.sh WINE PROGRAM main    started without arguments: the window "Brisvel"
#                                        at its client size
#   desktop_test.sh WINE PROGRAM add     a click on "Add" adds a row to the job list
#   desktop_test.sh WINE PROGRAM hidden  a job file run with "tray": no window, the files
#                                        backed up, the program ended as "tray" asks
#   desktop_test.sh WINE PROGRAM list    Return in an open drop-down list picks the item and
#                                        does not run the jobs
#   desktop_test.sh WINE PROGRAM program any Windows program that needs a display (the
#                                        backend's unit tests): its exit status
# Exits 77 (skipped) when the virtual X server or the tools are missing.
set -euo pipefail
wine=$1
program=$2
case_name=$3

if [ "${4:-}" != --inside ]; then
  for tool in xdotool xwininfo import convert; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIPPED: $tool is missing (scripts/deps installs it)"
      exit 77
    fi
  done
  # Wine draws every window through its desktop process, on the display that process was
  # started with: where the run has a display already (scripts/windows gives the whole run
  # one), the windows are there.
  [ -n "${DISPLAY:-}" ] && exec "$0" "$wine" "$program" "$case_name" --inside
  if ! command -v xvfb-run >/dev/null || ! command -v xauth >/dev/null; then
    echo "SKIPPED: xvfb-run is missing (scripts/deps installs it)"
    exit 77
  fi
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$wine" "$program" "$case_name" --inside
fi

export WINEDEBUG=-all
work=$(mktemp -d)
# shellcheck source=app/ui/test_desktop.sh
. "$(dirname "$0")/../ui/test_desktop.sh"

# Wine's name for a folder of this machine, with the separator at its end.
windows_folder() {
  echo "$("$wine" winepath -w "$1" 2>/dev/null | tr -d '\r')\\"
}

# Starts the program without arguments; `window` is its main window. A bare X server has no
# window manager, so the window is its client area alone.
run_main() {
  "$wine" "$program" >"$work/out" 2>&1 &
  pids+=($!)
  window=$(shown_window) || fail "no window Brisvel was shown"
  [ "$(size_of "$window")" = 500x280 ] || fail "main window is $(size_of "$window"), not 500x280"
  echo "main window shown at 500x280"
}

run_add() {
  run_main
  # A second row of text darkens the list.
  click_darkens "$window" 50 193 120x120+17+45 || fail "no row was added"
  echo "a click on Add added a row"
}

run_hidden() {
  mkdir -p "$work/src/sub" "$work/dst"
  echo alpha >"$work/src/a.txt"
  echo beta >"$work/src/sub/b.txt"
  cat >"$work/jobs.jbs" <<JOBS
<?xml version="1.0" encoding="UTF-8"?>
<brisvel version="1.1" finish="return" silent="false">
   <job name="Test" copyfrom="$(windows_folder "$work/src")" copyto="$(windows_folder "$work/dst")" method="size" enabled="true" usefilter="false" filter="" recursive="true" move="false" orphans="false" log="true" logfile="backup.log" open="false"/>
</brisvel>
JOBS
  "$wine" "$program" "$(windows_folder "$work")jobs.jbs" tray >"$work/out" 2>&1 &
  local brisvel=$!
  pids+=("$brisvel")
  local status=0
  timeout 60 tail --pid="$brisvel" -f /dev/null || fail "the run did not end"
  wait "$brisvel" || status=$?
  [ "$status" = 0 ] || fail "exit status $status"
  cmp -s "$work/src/a.txt" "$work/dst/a.txt" || fail "a.txt was not backed up"
  cmp -s "$work/src/sub/b.txt" "$work/dst/sub/b.txt" || fail "sub/b.txt was not backed up"
  grep -q "a.txt" "$work/dst/backup.log" || fail "the log file names no a.txt"
  echo "the hidden run backed up the files and ended the program as \"tray\" asks"
}

run_list() {
  mkdir -p "$work/src" "$work/dst"
  echo alpha >"$work/src/a.txt"
  cat >"$work/jobs.jbs" <<JOBS
<?xml version="1.0" encoding="UTF-8"?>
<brisvel version="1.1" finish="return" silent="false">
   <job name="Test" copyfrom="$(windows_folder "$work/src")" copyto="$(windows_folder "$work/dst")" method="size" enabled="true" usefilter="false" filter="" recursive="false" move="false" orphans="false" log="false" logfile="" open="false"/>
</brisvel>
JOBS
  "$wine" "$program" open "$(windows_folder "$work")jobs.jbs" >"$work/out" 2>&1 &
  pids+=($!)
  window=$(shown_window) || fail "no window Brisvel was shown"
  pick_next_item 410 190 '^brisvel.exe$'  # File Compare Method
  pick_next_item 375 257 '^brisvel.exe$'  # When Finished
  # A click on Add is handled after the keys: once its row shows, any run they started has
  # started, and its window would have taken the place of the main window.
  click_darkens "$window" 50 193 120x120+17+45 || fail "the main window took no click after the lists"
  [ ! -e "$work/dst/a.txt" ] || fail "Return in a drop-down list ran the jobs"
  echo "Return picked the items of both lists and ran nothing"
}

case "$case_name" in
  program) "$wine" "$program" ;;
  main) run_main ;;
  add) run_add ;;
  hidden) run_hidden ;;
  list) run_list ;;
  *) fail "unknown case $case_name" ;;
esac
