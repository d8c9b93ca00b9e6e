#!/usr/bin/env bash
# Whole-process exports of the same tables by tarnwick-cli, mdb-export and mdb-reader, run side
# by side, with `cat` of the file as the floor: median wall time of RUNS runs of each, the
# largest resident size any run reached, and the ratios. Files: the 512-row fixture table and
# to-do databases of 10 000 and 100 000 items made by make_todo_file.
#
#   bench/compare_readers.sh BUILD_DIR [RUNS]
#
# Another program running on the machine slows every column alike; run it more than once and
# compare the ratios.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(realpath "${1:?usage: compare_readers.sh BUILD_DIR [RUNS]}")"
runs="${2:-11}"
fixtures="${TARNWICK_FIXTURES_DIR:-${root}/tests/data/mdb}"
cli="${build}/tarnwick-cli"
maker="${build}/bench/make_todo_file"
stats="${build}/bench/proc_stats"
tmp="$(mktemp -d)"
trap 'rm -rf "${tmp}"' EXIT

"${maker}" "${tmp}/todo-10000.mdb" 10000
"${maker}" "${tmp}/todo-100000.mdb" 100000

# Each measurement prints "MEDIAN_MS MIN_MS MAX_RSS_KIB".
printf '%-32s %8s %8s %11s %11s %10s | %8s %9s %7s\n' table "ours ms" "cat ms" \
  "mdb-export" "mdb-reader" "vs export" "ours MB" "export MB" "cat MB"
while read -r file table; do
  read -r ours _ ours_kib <<<"$("${stats}" "${runs}" "${cli}" export "${file}" "${table}")"
  read -r cat_ms _ cat_kib <<<"$("${stats}" "${runs}" cat "${file}")"
  read -r export_ms _ export_kib <<<"$("${stats}" "${runs}" mdb-export "${file}" "${table}")"
  read -r reader _ _ <<<"$("${stats}" 3 node "${root}/tests/interop/read-mdb-reader.mjs" "${file}" "${table}")"
  printf '%-32s %8s %8s %11s %11s %9.1fx | %8.1f %9.1f %7.1f\n' \
    "$(basename "${file}"):${table}" "${ours}" "${cat_ms}" "${export_ms}" "${reader}" \
    "$(echo "${export_ms} / ${ours}" | bc -l)" "$(echo "${ours_kib} / 1024" | bc -l)" \
    "$(echo "${export_kib} / 1024" | bc -l)" "$(echo "${cat_kib} / 1024" | bc -l)"
done <<EOF2
${fixtures}/compIndexTestV2000.mdb Table1
${tmp}/todo-10000.mdb Things To Do
${tmp}/todo-100000.mdb Things To Do
EOF2
echo "(whole processes, median of ${runs} runs, mdb-reader of 3; MB = largest resident size)"
