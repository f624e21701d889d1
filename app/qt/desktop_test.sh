#!/usr/bin/env bash
# The built program on a virtual X server with a tray, driven by clicks as a user would.
#   desktop_test.sh PROGRAM main   started without arguments: the window "Brisvel" at its size
#   desktop_test.sh PROGRAM add    a click on "Add" adds a row to the job list
#   desktop_test.sh PROGRAM tray   a job file run with "tray": hidden, shown again by a double
#                                  click on the tray icon, then ended as its finish action says
#   desktop_test.sh PROGRAM list   Return in an open drop-down list picks the item and does
#                                  not run the jobs
# Exits 77 (skipped) when the virtual X server or the tools are missing.
set -euo pipefail
program=$1
case_name=$2

if [ "${3:-}" != --inside ]; then
  for tool in xvfb-run xauth xdotool xwininfo trayer import convert; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIPPED: $tool is missing (scripts/deps installs it)"
      exit 77
    fi
  done
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$program" "$case_name" --inside
fi

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# shellcheck source=app/ui/test_desktop.sh
. "$(dirname "$0")/../ui/test_desktop.sh"

# Starts the program without arguments; `window` is its main window.
run_main() {
  "$program" >"$work/out" 2>&1 &
  pids+=($!)
  window=$(shown_window) || fail "no window Brisvel was shown"
  [ "$(size_of "$window")" = 500x280 ] || fail "main window is $(size_of "$window"), not 500x280"
  echo "main window shown at 500x280"
}

run_add() {
  run_main
  # A second row of text darkens the list.
  click_darkens "$window" 50 193 140x160+15+23 || fail "no row was added"
  echo "a click on Add added a row"
}

run_tray() {
  mkdir -p "$work/src" "$work/dst"
  echo alpha >"$work/src/a.txt"
  # The run writes its log into a pipe that nobody reads yet, so it stays running, hidden,
  # for as long as the test needs.
  mkfifo "$work/dst/backup.log"
  cat >"$work/jobs.jbs" <<JOBS
<?xml version="1.0" encoding="UTF-8"?>
<brisvel version="1.1" finish="return" silent="false">
   <job name="Test" copyfrom="$work/src/" copyto="$work/dst/" method="size" enabled="true" usefilter="false" filter="" recursive="true" move="false" orphans="false" log="true" logfile="backup.log" open="false"/>
</brisvel>
JOBS
  trayer --edge top --align left --widthtype request --height 24 --SetDockType false \
    --SetPartialStrut false --transparent false >/dev/null 2>&1 &
  pids+=($!)
  # The icon docks only into a tray that is there when the program starts.
  for _ in $(seq 200); do
    xdotool search --onlyvisible --name '^panel$' >/dev/null 2>&1 && break
    sleep 0.1
  done
  "$program" "$work/jobs.jbs" tray >"$work/out" 2>&1 &
  local brisvel=$!
  pids+=($brisvel)
  # Docked in the tray, the icon is the one shown window of the program's class.
  local icon=""
  for _ in $(seq 200); do
    icon=$(xdotool search --onlyvisible --classname '^brisvel$' 2>/dev/null | head -1) || true
    [ -n "$icon" ] && break
    sleep 0.1
  done
  [ -n "$icon" ] || fail "no tray icon was shown"
  [ -z "$(xdotool search --onlyvisible --name '^Brisvel$' 2>/dev/null)" ] ||
    fail "a hidden run showed a window"
  xdotool mousemove --window "$icon" 10 10 click --repeat 2 --delay 80 1
  local window
  window=$(shown_window) || fail "a double click on the tray icon showed no window"
  [ "$(size_of "$window")" = 260x140 ] || fail "progress window is $(size_of "$window")"
  echo "the tray icon brought the progress window back"
  cat "$work/dst/backup.log" >/dev/null &
  local status=0
  timeout 30 tail --pid="$brisvel" -f /dev/null || fail "the run did not end"
  wait "$brisvel" || status=$?
  [ "$status" = 0 ] || { cat "$work/out" >&2; fail "exit status $status"; }
  cmp -s "$work/src/a.txt" "$work/dst/a.txt" || fail "a.txt was not backed up"
  echo "the run ended the program as \"tray\" asks, with a.txt backed up"
}

run_list() {
  mkdir -p "$work/src" "$work/dst"
  echo alpha >"$work/src/a.txt"
  cat >"$work/jobs.jbs" <<JOBS
<?xml version="1.0" encoding="UTF-8"?>
<brisvel version="1.1" finish="return" silent="false">
   <job name="Test" copyfrom="$work/src/" copyto="$work/dst/" method="size" enabled="true" usefilter="false" filter="" recursive="false" move="false" orphans="false" log="false" logfile="" open="false"/>
</brisvel>
JOBS
  "$program" open "$work/jobs.jbs" >"$work/out" 2>&1 &
  pids+=($!)
  window=$(shown_window) || fail "no window Brisvel was shown"
  # The keys go to the main window, as they do when they come before the display has moved
  # the keyboard to the open list.
  pick_next_item 410 190 '^brisvel$' --window "$window"  # File Compare Method
  pick_next_item 375 257 '^brisvel$' --window "$window"  # When Finished
  # A click on Add is handled after the keys: once its row shows, any run they started has
  # started, and its window would have taken the place of the main window.
  click_darkens "$window" 50 193 140x140+15+43 || fail "the main window took no click after the lists"
  [ ! -e "$work/dst/a.txt" ] || fail "Return in a drop-down list ran the jobs"
  echo "Return picked the items of both lists and ran nothing"
}

case "$case_name" in
  main) run_main ;;
  add) run_add ;;
  tray) run_tray ;;
  list) run_list ;;
  *) fail "unknown case $case_name" ;;
esac
