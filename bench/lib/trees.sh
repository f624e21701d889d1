# The generated trees (kept between runs in $work/trees) and the checks that a destination
# holds the same files as its source.

# The folder of a tree: its name says everything it was made from, the generator's source
# included, so a changed size or generator never reuses an old tree.
tree_dir() {
  local shape=${tree_shape[$1]}
  echo "$work/trees/$1-${shape// /-}-$generator_id"
}

tree_src() { echo "$(tree_dir "$1")/src"; }

# Fields of the summary that the generator printed: 1 files, 2 folders, 3 bytes.
tree_fact() { cut -d' ' -f"$2" <"$(tree_dir "$1")/summary"; }

# Makes a tree unless a complete one is cached, then reads it once so that every contender
# starts from a warm page cache.
ensure_tree() {
  local dir
  dir=$(tree_dir "$1")
  if [ ! -f "$dir/summary" ]; then
    note "generating the $1 tree (${tree_shape[$1]}) in $dir"
    rm -rf "$dir" && mkdir -p "$dir" || fail "cannot make $dir"
    # shellcheck disable=SC2086 # the shape is a list of numbers
    "$tools/gen_tree" tree "$dir/src" ${tree_shape[$1]} >"$dir/summary.new" ||
      fail "cannot generate the $1 tree"
    pick_sample "$dir"
    mv "$dir/summary.new" "$dir/summary"
  fi
  if [[ " ${warmed-} " != *" $1 "* ]]; then
    find "$dir/src" -type f -print0 | xargs -0 -r cat >/dev/null
    warmed="${warmed-} $1"
  fi
}

# About 16 non-empty files spread over the tree, compared byte for byte after every run.
pick_sample() {
  (cd "$1/src" && find . -type f -size +0c -printf '%P\n' | sort) |
    awk '{ path[NR] = $0 } END { step = int(NR / 16); if (step < 1) step = 1;
           for (i = 1; i <= NR; i += step) print path[i] }' >"$1/sample"
}

# "files folders bytes" below a folder, the folder itself not counted.
tree_summary() {
  find "$1" -mindepth 1 -printf '%y %s\n' |
    awk '$1 == "f" { files++; bytes += $2 } $1 == "d" { folders++ }
         END { printf "%d %d %.0f\n", files, folders, bytes }'
}

# expect_same_tree TREE DEST WHAT: DEST must hold the tree's files, folders and bytes, and
# its sample files byte for byte.
expect_same_tree() {
  local want got rel src
  want=$(cat "$(tree_dir "$1")/summary")
  got=$(tree_summary "$2")
  [ "$want" = "$got" ] ||
    fail "$3: $2 holds $got (files folders bytes) where the source holds $want"
  src=$(tree_src "$1")
  while IFS= read -r rel; do
    cmp -s "$src/$rel" "$2/$rel" || fail "$3: $2/$rel differs from the source"
  done <"$(tree_dir "$1")/sample"
}

# A destination that a tool made once and re-runs then work on (untimed).
mirror_dir() { echo "$run/mirror-$1-$2"; }

ensure_mirror() {
  local tree=$1 tool=$2 src dst
  src=$(tree_src "$tree")
  dst=$(mirror_dir "$tree" "$tool")
  [ ! -d "$dst" ] || return 0
  note "making $tool's copy of the $tree tree"
  case $tool in
    brisvel) run_brisvel "mirror-$tree-$tool" 0 0 "$(tree_fact "$tree" 1)" 0 "$src" "$dst" recursive ;;
    rsync) measure "mirror-$tree-$tool" 0 0 rsync -a "$src/" "$dst/" ;;
  esac
  expect_same_tree "$tree" "$dst" "$tool's first copy of the $tree tree"
}

# Deletes a destination outside the timed part.
remove() { rm -rf "$@" || fail "cannot remove $*"; }
