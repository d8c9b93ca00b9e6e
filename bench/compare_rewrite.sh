#!/usr/bin/env bash
# The engine and the program's routines against their plain-file baselines, measured side by side
# in one run: median wall time of REPS repetitions of each benchmark, the ratios, and the largest
# resident size of one whole load-and-rewrite of 100 000 items by the program's routines.
#
#   rewrite  RewriteToDoItems (routines_bench Rewrite)  vs  the same bytes written to a plain file
#            and synced once (routines_bench PlainWrite)
#   engine   the engine alone rewriting the table (jet_bench BM_RewriteTodos)  vs  its plain write
#   read     every value of the table read by the engine (jet_bench BM_ReadTodos)  vs  the file's
#            bytes read from the page cache (BM_ReadFileBytes)
#
#   bench/compare_rewrite.sh BUILD_DIR [REPS]
#
# Other programs running on the machine slow the synced writes most; run it more than once.
set -euo pipefail

build="$(realpath "${1:?usage: compare_rewrite.sh BUILD_DIR [REPS]}")"
reps="${2:-7}"
tmp="$(mktemp -d)"
trap 'rm -rf "${tmp}"' EXIT

# medians BENCHMARK FILTER: "NAME WALL_MS CPU_MS" per benchmark, from Google Benchmark's console
# table.
medians() {
  QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$1" --benchmark_filter="$2" \
    --benchmark_repetitions="${reps}" --benchmark_report_aggregates_only=true 2>/dev/null |
    awk '$1 ~ /_median$/ { sub(/\/real_time_median$/, "", $1); sub(/_median$/, "", $1); print $1, $2, $4 }'
}

medians "${build}/bench/routines_bench" '^(Rewrite|PlainWrite)/' >"${tmp}/times"
medians "${build}/bench/jet_bench" '^BM_(RewriteTodos|PlainWriteSameBytes|ReadTodos|ReadFileBytes)/' \
  >>"${tmp}/times"
ms() { awk -v n="$1" '$1 == n { print $2 }' "${tmp}/times"; }
cpu() { awk -v n="$1" '$1 == n { print $3 }' "${tmp}/times"; }

# The ratio is of wall times; the measured CPU time tells waiting for the disk from work.
printf '%-8s %8s %12s %12s %12s %7s\n' "" items "measured ms" "(its CPU ms)" "baseline ms" ratio
row() { # LABEL ITEMS MEASURED BASELINE
  local m b
  m=$(ms "$3") b=$(ms "$4")
  printf '%-8s %8s %12s %12s %12s %6.1fx\n' "$1" "$2" "$m" "$(cpu "$3")" "$b" \
    "$(echo "$m / $b" | bc -l)"
}
for n in 10000 100000; do
  row rewrite "$n" "Rewrite/$n" "PlainWrite/$n"
  row engine "$n" "BM_RewriteTodos/$n" "BM_PlainWriteSameBytes/$n"
  row read "$n" "BM_ReadTodos/$n" "BM_ReadFileBytes/$n"
done

"${build}/bench/make_todo_file" "${tmp}/todo.mdb" 100000
read -r _ _ kib <<<"$("${build}/bench/proc_stats" 1 "${build}/bench/todo_roundtrip" "${tmp}/todo.mdb")"
read -r _ _ cli_kib <<<"$("${build}/bench/proc_stats" 1 "${build}/tarnwick-cli" export \
  "${tmp}/todo.mdb" "Things To Do")"
printf 'peak resident size, 100000 items: load and rewrite by the routines %.1f MiB, ' \
  "$(echo "${kib} / 1024" | bc -l)"
printf 'tarnwick-cli export %.1f MiB\n' "$(echo "${cli_kib} / 1024" | bc -l)"
echo "(median of ${reps} repetitions; the routines' list of items is held in memory as the program holds it)"
