#!/usr/bin/env bash
# Reads whole tables with our engine, mdb-export and mdb-reader in one run, on the same files,
# and prints the times and ratios. Files: the largest fixture table and to-do databases of
# 10 000 and 100 000 items made by make_todo_file.
#
#   bench/compare_readers.sh BUILD_DIR [RUNS]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(realpath "${1:?usage: compare_readers.sh BUILD_DIR [RUNS]}")"
runs="${2:-5}"
fixtures="${TARNWICK_FIXTURES_DIR:-${root}/tests/data/mdb}"
cli="${build}/tarnwick-cli"
maker="${build}/bench/make_todo_file"
tmp="$(mktemp -d)"
trap 'rm -rf "${tmp}"' EXIT

# best_ms COMMAND...: the shortest wall time of ${runs} runs, in milliseconds.
best_ms() {
  local best="" start end ms
  for _ in $(seq "${runs}"); do
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000 ))
    if [ -z "${best}" ] || [ "${ms}" -lt "${best}" ]; then best=${ms}; fi
  done
  printf '%d.%03d' $((best / 1000)) $((best % 1000))
}

"${maker}" "${tmp}/todo-10000.mdb" 10000
"${maker}" "${tmp}/todo-100000.mdb" 100000

printf '%-28s %10s %12s %14s %14s %10s %10s\n' table "ours ms" "mdb-export" "mdb-reader" "mdb-reader*" "vs export" "vs reader"
while read -r file table; do
  ours=$(best_ms "${cli}" export "${file}" "${table}")
  export_ms=$(best_ms mdb-export "${file}" "${table}")
  reader=$(best_ms node "${root}/tests/interop/read-mdb-reader.mjs" "${file}" "${table}")
  inproc=$(node "${root}/bench/mdb_reader_read.mjs" "${file}" "${table}" "${runs}" | cut -d' ' -f1)
  printf '%-28s %10s %12s %14s %14s %9.1fx %9.1fx\n' "$(basename "${file}"):${table}" "${ours}" \
    "${export_ms}" "${reader}" "${inproc}" \
    "$(echo "${export_ms} / ${ours}" | bc -l)" "$(echo "${reader} / ${ours}" | bc -l)"
done <<EOF2
${fixtures}/compIndexTestV2000.mdb Table1
${tmp}/todo-10000.mdb Things To Do
${tmp}/todo-100000.mdb Things To Do
EOF2
echo "(mdb-reader* = in-process time, without Node's start-up; the others are whole processes)"
