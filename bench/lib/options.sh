# Command-line options of bench/run and the sizes of the trees that follow from them.

all_rows=(copy-small size date orphans copy-large crc32 md5 move desktop memory exclude)

usage() {
  cat <<'USAGE'
usage: bench/run [--scale N] [--rounds R] [--only ROWS] [--memory-files N]
                 [--dir DIR] [--brisvel PATH] [--results FILE]

  --scale N         files in the small tree (default 100000, about 50 per folder); the large
                    tree (up to 1 GB) and the orphan count (up to 10000) follow it
  --rounds R        timed runs of every contender in every row (default 5)
  --only ROWS       comma-separated rows to run, out of
                    copy-small, size, date, orphans, copy-large, crc32, md5, move,
                    desktop, memory, exclude
                    (default: all; memory only when --scale is 1000000 or more)
  --memory-files N  files in the tree of the memory row (default 1000000)
  --dir DIR         work folder for the trees and the runs, on the file system to measure
                    (default $BENCH_DIR, else /tmp/brisvel-bench); trees are kept there
  --brisvel PATH    time this program instead of building Brisvel in build-bench/
  --results FILE    where the table is written (default bench/results/latest.md)
USAGE
}

# Prints its second argument when it is a whole number above 0; otherwise ends the script.
whole_number() {
  if [[ ! $2 =~ ^[1-9][0-9]*$ ]]; then
    echo "bench/run: $1 needs a whole number above 0, not '$2'" >&2
    exit 2
  fi
  echo "$2"
}

parse_options() {
  scale=100000 rounds=5 only="" memory_files=1000000
  work=${BENCH_DIR:-/tmp/brisvel-bench} brisvel="" results=$bench/results/latest.md
  while [ $# -gt 0 ]; do
    case $1 in
      --scale) scale=$(whole_number "$1" "${2-}") ;;
      --rounds) rounds=$(whole_number "$1" "${2-}") ;;
      --memory-files) memory_files=$(whole_number "$1" "${2-}") ;;
      --only) only=${2-} ;;
      --dir) work=${2-} ;;
      --brisvel) brisvel=${2-} ;;
      --results) results=${2-} ;;
      -h | --help) usage && exit 0 ;;
      *) usage >&2 && exit 2 ;;
    esac
    [ $# -ge 2 ] || { usage >&2 && exit 2; }
    shift 2
  done
  mkdir -p "$work" && work=$(cd "$work" && pwd)
  [ -z "$brisvel" ] || brisvel=$(realpath "$brisvel")
  select_rows
  size_trees
}

# Fills `rows` in their running order from --only, or with the default set.
select_rows() {
  local wanted=" ${only//,/ } " row known=" ${all_rows[*]} "
  for row in $wanted; do
    [[ $known == *" $row "* ]] || { echo "bench/run: unknown row '$row'" >&2 && exit 2; }
  done
  rows=()
  for row in "${all_rows[@]}"; do
    if [ -n "$only" ]; then
      [[ $wanted != *" $row "* ]] || rows+=("$row")
    elif [ "$row" != memory ] || [ "$scale" -ge 1000000 ]; then
      rows+=("$row")
    fi
  done
}

# tree_shape[NAME] = "files folders depth min_bytes max_bytes seed". The memory row's tree has
# the small tree's make-up, so --scale 1000000 makes one tree serve both.
size_trees() {
  local mib=1048576 gib=1073741824
  local large_bytes=$((gib * scale / 100000))
  ((large_bytes > gib)) && large_bytes=$gib
  ((large_bytes < 8 * mib)) && large_bytes=$((8 * mib))
  local large_files=$((large_bytes / (5 * mib / 4)))
  declare -gA tree_shape=(
    [small]="$scale $(at_least_one $((scale / 50))) 4 0 4096 1"
    [large]="$large_files $(at_least_one $((large_files / 40))) 2 524288 2097152 2"
    [million]="$memory_files $(at_least_one $((memory_files / 50))) 4 0 4096 1"
  )
  orphans=$((scale / 10))
  ((orphans > 10000)) && orphans=10000
  ((orphans < 10)) && orphans=10
  return 0
}

at_least_one() { echo $(($1 > 0 ? $1 : 1)); }
