# Timed runs, their samples and the checks that make a fast but wrong run fail the harness.

note() { echo "bench: $*" >&2; }

fail() {
  echo "bench: FAILED: $*" >&2
  echo "bench: the logs of this run are in $logs" >&2
  exit 1
}

# timed KEY ROUND BYTES COMMAND...: runs COMMAND once with its standard output and error in
# files ($log.out, $log.err), sets `status` to its exit status and, for rounds above 0,
# appends "key round seconds peak_kb bytes" to the samples. Writing back what earlier runs
# left dirty is done before the clock starts.
timed() {
  local key=$1 round=$2 bytes=$3 start end
  shift 3
  log=$logs/$key.$round
  sync
  status=0
  start=$EPOCHREALTIME
  /usr/bin/time -f '%M' -o "$log.rss" "$@" >"$log.out" 2>"$log.err" || status=$?
  end=$EPOCHREALTIME
  if [ "$round" -gt 0 ]; then
    awk -v k="$key" -v r="$round" -v s="$start" -v e="$end" -v b="$bytes" \
      -v kb="$(tail -n 1 "$log.rss")" 'BEGIN { printf "%s\t%s\t%.6f\t%d\t%s\n", k, r, e - s, kb, b }' \
      >>"$samples"
  fi
}

# measure KEY ROUND BYTES COMMAND...: a timed run that must exit with status 0.
measure() {
  timed "$@"
  [ "$status" -eq 0 ] || fail "$1 (round $2) exited with status $status; see $log.err"
}

# run_brisvel KEY ROUND BYTES COPIED DELETED SRC DST WORDS...: a timed one-off backup in
# console mode that must succeed and report exactly COPIED copied and DELETED deleted files.
run_brisvel() {
  local key=$1 round=$2 bytes=$3 copied=$4 deleted=$5 src=$6 dst=$7
  shift 7
  measure "$key" "$round" "$bytes" "$brisvel" --console backup "$src" "$dst" "$@"
  expect_rows "$log.out" "$copied" "$deleted"
}

plural() { [ "$1" -eq 1 ] || echo s; }

expect_rows() {
  local out=$1 copied=$2 deleted=$3 row
  for row in "Copied $copied total file$(plural "$copied")." "Finished all jobs."; do
    grep -qxF "$row" "$out" || fail "no row '$row' in $out"
  done
  ! grep -q ' encountered\.$' "$out" || fail "errors reported in $out"
  if [ "$deleted" -gt 0 ]; then
    row="Deleted $deleted total orphan file$(plural "$deleted")."
    grep -qxF "$row" "$out" || fail "no row '$row' in $out"
  elif grep -q '^Deleted [0-9]* total orphan' "$out"; then
    fail "orphans deleted in $out where none should be"
  fi
}

# probe TREE METHOD: before a no-change row is timed, changes one file of Brisvel's copy so
# that only METHOD can see it, and expects exactly that file to be copied again. A method
# that skips its work cannot pass.
probe() {
  local tree=$1 method=$2 src dst rel
  src=$(tree_src "$tree")
  dst=$(mirror_dir "$tree" brisvel)
  rel=$(head -n 1 "$(tree_dir "$tree")/sample")
  case $method in
    size) printf x >>"$dst/$rel" && touch -r "$src/$rel" "$dst/$rel" ;;
    date) touch -d "@$(($(stat -c %Y "$src/$rel") - 10))" "$dst/$rel" ;;
    *) "$tools/gen_tree" flip "$dst/$rel" ;;
  esac || fail "cannot change $dst/$rel"
  run_brisvel "probe-$method" 0 0 1 0 "$src" "$dst" recursive "$method"
  cmp -s "$src/$rel" "$dst/$rel" || fail "the $method run left a changed $dst/$rel as it was"
}
