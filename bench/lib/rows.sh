# The rows of the table. Each row times its contenders interleaved (A B A B ...), checks every
# run, and registers the comparisons that the report shows.

# compare LABEL BRISVEL_KEY ANCHOR_KEY ANCHOR_LABEL KIND TARGET: one line of the table; KIND
# is time, rate or memory; TARGET is "le X", "ge X", "mem MB" or "-".
compare() {
  local IFS=$'\t'
  echo "$*" >>"$comparisons"
}

rounds_of() { note "$1: round $2 of $rounds, $3"; }

row_copy_small() {
  ensure_tree small
  copy_row copy-small small "first copy, small tree ($(tree_fact small 1) files)" "le 1.0" -
}

row_copy_large() {
  ensure_tree large
  copy_row copy-large large "first copy, large tree ($(megabytes "$(tree_fact large 3)") MB)" \
    - "le 1.1"
}

megabytes() { awk -v b="$1" 'BEGIN { printf(b < 1e7 ? "%.1f" : "%.0f", b / 1e6) }'; }

# copy_row ROW TREE LABEL RSYNC_TARGET CP_TARGET: every run copies into a fresh destination.
# Deleting many files leaves ext4 slow for a while, which would land on the next timed copy,
# so the copies are all deleted after the row when the disk has room for them, and each one
# right after its run otherwise.
copy_row() {
  local row=$1 tree=$2 src files dst tool r keep=0
  src=$(tree_src "$tree")
  files=$(tree_fact "$tree" 1)
  compare "$3" "$row.brisvel" "$row.rsync" "rsync -a" time "$4"
  compare "$3" "$row.brisvel" "$row.cp" "cp -a" time "$5"
  if has_room_for "$src" $((rounds * 3)); then keep=1; fi
  for ((r = 1; r <= rounds; r++)); do
    for tool in brisvel rsync cp; do
      rounds_of "$row" "$r" "$tool"
      dst=$run/$row-$tool-$r
      case $tool in
        brisvel) run_brisvel "$row.$tool" "$r" 0 "$files" 0 "$src" "$dst" recursive ;;
        rsync) measure "$row.$tool" "$r" 0 rsync -a "$src/" "$dst/" ;;
        cp) measure "$row.$tool" "$r" 0 cp -a "$src" "$dst" ;;
      esac
      expect_same_tree "$tree" "$dst" "$row, $tool, round $r"
      ((keep)) || remove "$dst"
    done
  done
  note "$row: removing its copies"
  remove "$run/$row"-*
}

# has_room_for FOLDER COPIES: whether the work folder's file system holds COPIES more copies
# of FOLDER and still keeps 2 GB free.
has_room_for() {
  local used free
  used=$(du -s -B1 "$1" | cut -f1)
  free=$(df --output=avail -B1 "$work" | tail -n 1)
  [ $((used * $2 + 2000000000)) -lt "$free" ]
}

row_size() { no_change_row size "rsync -a --size-only" --size-only; }
row_date() { no_change_row date "rsync -a"; }

# no_change_row METHOD ANCHOR_LABEL RSYNC_OPTIONS...: re-runs over copies that are already
# up to date; the floor lists and stats both trees and does nothing else.
no_change_row() {
  local method=$1 anchor=$2 row=$1 src mine theirs r label
  shift 2
  ensure_tree small
  ensure_mirror small brisvel
  ensure_mirror small rsync
  probe small "$method"
  src=$(tree_src small)
  mine=$(mirror_dir small brisvel)
  theirs=$(mirror_dir small rsync)
  label="no-change re-run, $method ($(tree_fact small 1) files)"
  compare "$label" "$row.brisvel" "$row.rsync" "$anchor" time "le 0.7"
  compare "$label" "$row.brisvel" "$row.find" "find SRC DST -printf (floor)" time -
  for ((r = 1; r <= rounds; r++)); do
    rounds_of "$row" "$r" "brisvel, rsync, find"
    run_brisvel "$row.brisvel" "$r" 0 0 0 "$src" "$mine" recursive "$method"
    measure "$row.rsync" "$r" 0 rsync -a "$@" "$src/" "$theirs/"
    measure "$row.find" "$r" 0 find "$src" "$mine" -printf '%s %T@\n'
  done
  expect_same_tree small "$mine" "$row, Brisvel's copy"
  expect_same_tree small "$theirs" "$row, rsync's copy"
}

# Ten exclusion patterns that match nothing in the tree, so both runs look at the same files:
# what is timed is the matching itself, in the scan and in the orphan pass.
exclusions='node_modules/; .git/; ~$*; *.tmp; **/cache/; photos/raw/; *.bak; Thumbs.db'
exclusions+='; dir00001/dir*/gen/; f*.swp'

row_exclude() {
  local src mine r label
  ensure_tree small
  ensure_mirror small brisvel
  src=$(tree_src small)
  mine=$(mirror_dir small brisvel)
  label="no-change re-run with orphans, ten exclusion patterns ($(tree_fact small 1) files)"
  compare "$label" exclude.brisvel exclude.plain "the same without patterns" time "le 1.05"
  for ((r = 1; r <= rounds; r++)); do
    rounds_of exclude "$r" "with patterns, without"
    run_brisvel exclude.brisvel "$r" 0 0 0 "$src" "$mine" recursive orphans size \
      exclude "$exclusions"
    run_brisvel exclude.plain "$r" 0 0 0 "$src" "$mine" recursive orphans size
  done
  expect_same_tree small "$mine" "exclude, Brisvel's copy"
}

# Every run first gets the same orphans added to its tool's up-to-date copy.
row_orphans() {
  local src tool dst r
  ensure_tree small
  ensure_mirror small brisvel
  ensure_mirror small rsync
  src=$(tree_src small)
  compare "orphan deletion ($orphans files)" orphans.brisvel orphans.rsync \
    "rsync -a --delete" time "le 1.0"
  for ((r = 1; r <= rounds; r++)); do
    for tool in brisvel rsync; do
      rounds_of orphans "$r" "$tool"
      dst=$(mirror_dir small "$tool")
      "$tools/gen_tree" orphans "$dst" "$orphans" 3 >/dev/null || fail "cannot add orphans"
      case $tool in
        brisvel) run_brisvel orphans.brisvel "$r" 0 0 "$orphans" "$src" "$dst" recursive orphans ;;
        rsync) measure orphans.rsync "$r" 0 rsync -a --delete "$src/" "$dst/" ;;
      esac
      expect_same_tree small "$dst" "orphans, $tool, round $r"
    done
  done
}

row_crc32() { checksum_row crc32 "zlib crc32, one stream" "ge 2.0"; }
row_md5() { checksum_row md5 "openssl dgst -md5, one stream" "ge 1.5"; }

# checksum_row METHOD ANCHOR_LABEL TARGET: a re-run that reads both trees in full, against
# one stream over the same files; both are measured in bytes per second.
checksum_row() {
  local method=$1 anchor=$2 target=$3 src mine list bytes r
  ensure_tree large
  ensure_mirror large brisvel
  probe large "$method"
  src=$(tree_src large)
  mine=$(mirror_dir large brisvel)
  list=$run/files-large.list
  find "$src" "$mine" -type f -print0 >"$list"
  bytes=$(($(tree_fact large 3) * 2))
  compare "no-change re-run, $method, large tree (reads $(megabytes "$bytes") MB)" \
    "$method.brisvel" "$method.anchor" "$anchor" rate "$target"
  for ((r = 1; r <= rounds; r++)); do
    rounds_of "$method" "$r" "brisvel, $anchor"
    run_brisvel "$method.brisvel" "$r" "$bytes" 0 0 "$src" "$mine" recursive "$method"
    case $method in
      crc32) measure crc32.anchor "$r" "$bytes" "$tools/crc32_rate" "$list" ;;
      md5) measure md5.anchor "$r" "$bytes" xargs -0 -a "$list" openssl dgst -md5 ;;
    esac
  done
}

row_move() {
  move_row small "first move, small tree ($(tree_fact small 1) files)"
  move_row large "first move, large tree ($(megabytes "$(tree_fact large 3)") MB)"
}

# move_row TREE LABEL: a first Move into a fresh destination, each run from its own fresh
# copy of the source made outside the timed part, against rsync removing its sources. A run
# must leave the destination holding the tree and the source without a file.
move_row() {
  local tree=$1 src files tool r from dst
  ensure_tree "$tree"
  src=$(tree_src "$tree")
  files=$(tree_fact "$tree" 1)
  compare "$2" "move-$tree.brisvel" "move-$tree.rsync" "rsync -a --remove-source-files" time -
  for ((r = 1; r <= rounds; r++)); do
    for tool in brisvel rsync; do
      rounds_of "move-$tree" "$r" "$tool"
      from=$run/move-$tree-$tool-$r-src
      dst=$run/move-$tree-$tool-$r
      cp -a "$src" "$from" || fail "cannot copy $src to $from"
      case $tool in
        brisvel) run_brisvel "move-$tree.$tool" "$r" 0 "$files" 0 "$from" "$dst" recursive move ;;
        rsync) measure "move-$tree.$tool" "$r" 0 rsync -a --remove-source-files "$from/" "$dst/" ;;
      esac
      expect_same_tree "$tree" "$dst" "move $tree, $tool, round $r"
      [ -z "$(find "$from" -type f -print -quit 2>/dev/null)" ] ||
        fail "move $tree, $tool, round $r: files are left in $from"
      remove "$from" "$dst"
    done
  done
}

# The desktop against the terminal on the same first copy and no-change size run: the
# desktop's progress window is shown with its log (offscreen), and the rows its log view
# received are checked like the terminal's output.
row_desktop() {
  local src files r tool dst
  if [ ! -x "$desktop" ]; then
    note "desktop: no runner at $desktop; row skipped"
    return 0
  fi
  ensure_tree small
  src=$(tree_src small)
  files=$(tree_fact small 1)
  compare "first copy, small tree ($files files), desktop window" desktop-copy.desktop \
    desktop-copy.console "the same run in the terminal" time "le 1.2"
  compare "no-change re-run, size ($files files), desktop window" desktop-size.desktop \
    desktop-size.console "the same run in the terminal" time "le 1.2"
  for ((r = 1; r <= rounds; r++)); do
    for tool in console desktop; do
      rounds_of desktop "$r" "$tool"
      dst=$run/desktop-$tool-$r
      run_either "desktop-copy.$tool" "$r" "$files" "$src" "$dst"
      expect_same_tree small "$dst" "desktop, $tool, round $r"
      run_either "desktop-size.$tool" "$r" 0 "$src" "$dst"
      remove "$dst"
    done
  done
}

# run_either KEY ROUND COPIED SRC DST: a one-off recursive backup by size, in the terminal or
# in the desktop's window as KEY ends in .console or .desktop.
run_either() {
  local key=$1 round=$2 copied=$3 src=$4 dst=$5
  case $key in
    *.console) measure "$key" "$round" 0 "$brisvel" --console backup "$src" "$dst" recursive size ;;
    *.desktop)
      mkdir -p -m 700 "$run/xdg"
      measure "$key" "$round" 0 env XDG_RUNTIME_DIR="$run/xdg" "$desktop" "$src" "$dst" \
        recursive size
      ;;
  esac
  expect_rows "$log.out" "$copied" 0
}

# Peak memory of a no-change run over a tree of --memory-files files, against the largest
# process of rsync's (GNU time's maximum resident set covers the children it waits for).
row_memory() {
  local src mine theirs r label
  ensure_tree million
  ensure_mirror million brisvel
  ensure_mirror million rsync
  src=$(tree_src million)
  mine=$(mirror_dir million brisvel)
  theirs=$(mirror_dir million rsync)
  label="peak memory, no-change re-run, date ($(tree_fact million 1) files)"
  compare "$label" memory.brisvel memory.rsync "rsync -a (largest process)" memory "mem 200"
  compare "$label, its time" memory.brisvel memory.rsync "rsync -a" time -
  for ((r = 1; r <= rounds; r++)); do
    rounds_of memory "$r" "brisvel, rsync"
    run_brisvel memory.brisvel "$r" 0 0 0 "$src" "$mine" recursive date
    measure memory.rsync "$r" 0 rsync -a "$src/" "$theirs/"
  done
}
