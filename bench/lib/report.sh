# The markdown report: the machine, the comparisons with their targets, and every sample's
# spread. Printed and written to the results file.

# key_stats KEY: "median min max peak_kb bytes runs" over the samples of KEY.
key_stats() {
  awk -F'\t' -v k="$1" '$1 == k { print $3, $4, $5 }' "$samples" | sort -g | awk '
    { t[NR] = $1; if ($2 > kb) kb = $2; bytes = $3 }
    END {
      if (NR == 0) { print "0 0 0 0 0 0"; exit }
      m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
      printf "%.6f %.6f %.6f %d %.0f %d\n", m, t[1], t[NR], kb, bytes, NR
    }'
}

# One table line from a comparison and the stats of its two keys.
comparison_line() {
  local label=$1 mine=$2 theirs=$3 anchor=$4 kind=$5 target=$6
  awk -v label="$label" -v anchor="$anchor" -v kind="$kind" -v target="$target" \
    -v m="$(key_stats "$mine")" -v t="$(key_stats "$theirs")" '
    function show(v) {
      if (kind == "time") return sprintf("%.3f s", v)
      if (kind == "rate") return sprintf("%.0f MB/s", v / 1e6)
      return sprintf("%.1f MB", v / 1e6)
    }
    function value(stats, f) {
      split(stats, f, " ")
      if (kind == "time") return f[1]
      if (kind == "rate") return f[1] > 0 ? f[5] / f[1] : 0
      return f[4] * 1024
    }
    BEGIN {
      a = value(m); b = value(t); ratio = b > 0 ? a / b : 0
      split(target, goal, " "); wanted = ""; met = ""
      if (goal[1] == "le") { wanted = "<= " goal[2]; met = ratio <= goal[2] }
      if (goal[1] == "ge") { wanted = ">= " goal[2]; met = ratio >= goal[2] }
      if (goal[1] == "mem") {
        wanted = "<= 1.0 and < " goal[2] " MB"; met = ratio <= 1 && a < goal[2] * 1e6
      }
      if (met != "") met = met ? "yes" : "**no**"
      printf "| %s | %s | %s | %s | %.3f | %s | %s |\n", label, show(a), anchor, show(b), ratio,
        wanted, met
    }'
}

machine_lines() {
  local cpu memory mount trees
  cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
  memory=$(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
  mount=$(findmnt -no FSTYPE,SOURCE,OPTIONS -T "$work" | awk '{ print $1 " on " $2 " (" $3 ")" }')
  echo "- Machine: $(nproc) cores (${cpu:-unknown CPU}), $memory memory, kernel $(uname -r)"
  echo "- Work folder: $work, $mount"
  echo "- Brisvel: $brisvel, commit $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)"
  echo "- Anchors: $(rsync --version | head -n 1 | awk '{ print $1, $3 }'), $(cp --version |
    head -n 1), $(openssl version | awk '{ print $1, $2 }'), zlib $(dpkg-query -W -f='${Version}' zlib1g 2>/dev/null)"
  trees="small = $(tree_words small 4); large = $(tree_words large 2)"
  [[ " ${rows[*]} " != *" memory "* ]] || trees+="; memory row = $(tree_words million 4)"
  echo "- Trees: $trees; orphans = $orphans files"
  echo "- Rounds: $rounds per contender, interleaved; medians shown; run $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "- Load average (1, 5, 15 min): $load_at_start at the start, $(load_average) at the end"
}

load_average() { cut -d' ' -f1-3 /proc/loadavg; }

# tree_words TREE DEPTH: "N files, N MB in N folders, DEPTH levels" for a generated tree.
tree_words() {
  local dir
  dir=$(tree_dir "$1")
  if [ -f "$dir/summary" ]; then
    echo "$(tree_fact "$1" 1) files, $(megabytes "$(tree_fact "$1" 3)") MB in" \
      "$(tree_fact "$1" 2) folders, $2 levels"
  else
    echo "not generated"
  fi
}

write_report() {
  local label mine theirs anchor kind target key
  mkdir -p "$(dirname "$results")"
  {
    echo "## Benchmark results"
    echo
    if [ "$scale" -lt 100000 ]; then
      echo "**Small-scale run (--scale $scale): quick check, not the full benchmark.**"
      echo
    fi
    machine_lines
    echo
    echo "| Row | Brisvel | Against | Its result | Ratio | Target | Met |"
    echo "|---|---|---|---|---|---|---|"
    while IFS=$'\t' read -r label mine theirs anchor kind target; do
      comparison_line "$label" "$mine" "$theirs" "$anchor" "$kind" "$target"
    done <"$comparisons"
    echo
    echo "Ratio: Brisvel / the other for times and memory, Brisvel's bytes per second / the"
    echo "other's for the checksum rows (Brisvel reads both trees, the other the same files)."
    echo
    echo "| Samples | Runs | Median | Fastest | Slowest | Peak memory |"
    echo "|---|---|---|---|---|---|"
    cut -f1 "$samples" | awk '!seen[$0]++' | while read -r key; do
      key_stats "$key" | awk -v k="$key" \
        '{ printf "| %s | %d | %.3f s | %.3f s | %.3f s | %.1f MB |\n", k, $6, $1, $2, $3, $4 * 1024 / 1e6 }'
    done
  } >"$results.new"
  mv "$results.new" "$results"
  cat "$results"
}
