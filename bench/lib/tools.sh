# What the harness runs: the Debian packages it needs, its two C helpers and Brisvel itself.

# Installs what is missing (apt-get, only when something is), builds the helpers into the
# work folder and, unless --brisvel named a program, Brisvel in Release into build-bench/.
prepare_tools() {
  note "checking packages"
  "$root/scripts/deps" rsync time openssl findutils util-linux >&2
  tools=$work/tools
  mkdir -p "$tools"
  build_helper gen_tree
  generator_id=$(md5sum <"$bench/gen_tree.c" | cut -c1-8)
  build_helper crc32_rate -lz
  if [ -z "$brisvel" ]; then
    build_brisvel
    brisvel=$root/build-bench/app/brisvel
  fi
  # The desktop row's runner is built beside the program.
  desktop=$(dirname "$brisvel")/../tools/brisvel_desktop_run
  [ -x "$brisvel" ] || fail "no program to run at $brisvel"
}

# build_helper NAME [LIBS...]: compiles bench/NAME.c when the binary is missing or older.
build_helper() {
  local name=$1 source=$bench/$1.c
  shift
  if [ ! -x "$tools/$name" ] || [ "$source" -nt "$tools/$name" ]; then
    cc -O2 -Wall -Wextra -o "$tools/$name" "$source" "$@" || fail "cannot build $source"
  fi
}

build_brisvel() {
  note "building Brisvel (Release) in $root/build-bench"
  cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DBRISVEL_TESTS=OFF \
    >/dev/null || fail "cannot configure the Release build"
  cmake --build "$root/build-bench" --target brisvel brisvel_desktop_run --parallel 2 >&2 ||
    fail "cannot build Brisvel"
}
