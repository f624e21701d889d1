# shellcheck shell=bash disable=SC2154  # `work` is set by the sourcing script
# Helpers of the end-to-end desktop tests, sourced by qt/desktop_test.sh and win32/desktop_test.sh
# once `work` names the test's temporary folder.

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Fails the test, showing what the program printed.
fail() {
  echo "FAILED: $*" >&2
  [ -f "$work/out" ] && cat "$work/out" >&2
  exit 1
}

# The id of the shown window titled "Brisvel", waiting up to 30 s for it.
shown_window() {
  local id
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name '^Brisvel$' 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

size_of() {
  xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}

# The mean brightness of a part of a window, 0 (black) to 1 (white).
brightness() {
  import -window "$1" -crop "$2" +repage png:- | convert png:- -colorspace gray -format '%[fx:mean]' info:
}

# Clicks WINDOW at X Y and succeeds when the part CROP of it darkens within 5 s (a row of text
# was added there).
click_darkens() {
  local window=$1 x=$2 y=$3 crop=$4 before after
  before=$(brightness "$window" "$crop")
  xdotool mousemove --window "$window" "$x" "$y" click 1
  for _ in $(seq 50); do
    after=$(brightness "$window" "$crop")
    [ "$after" != "$before" ] && break
    sleep 0.1
  done
  awk -v b="$before" -v a="$after" 'BEGIN { exit !(a < b) }'
}

# Opens the drop-down list at X Y of `window` with a click, waits until the list shows (one more
# shown window of the class CLASS), moves to the next item and presses Return; any further
# arguments of xdotool's "key" come before the keys (--window ID: send them to that window).
pick_next_item() {
  local x=$1 y=$2 class=$3 shown
  shift 3
  shown=$(xdotool search --onlyvisible --classname "$class" 2>/dev/null | wc -l)
  xdotool mousemove --window "$window" "$x" "$y" click 1
  for _ in $(seq 50); do
    [ "$(xdotool search --onlyvisible --classname "$class" 2>/dev/null | wc -l)" -gt "$shown" ] &&
      break
    sleep 0.1
  done
  xdotool key "$@" Down Return
}
