#!/usr/bin/env bash
# Sets up and runs every test: the default build's tests, the engine and CLI under ASan/UBSan,
# and each libFuzzer target for a bounded time over the sample files. Prints the time of each
# stage and exits non-zero if any stage failed.
#
# Environment: TARNWICK_FIXTURES_DIR (default tests/data/mdb),
# TARNWICK_FUZZ_SECONDS (per fuzz target, default 60).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "${root}"

fixtures="${TARNWICK_FIXTURES_DIR:-${root}/tests/data/mdb}"
fixtures="$(realpath -m "${fixtures}")"
fuzz_seconds="${TARNWICK_FUZZ_SECONDS:-60}"
jobs=2

export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

tmp="$(mktemp -d)"
trap 'rm -rf "${tmp}"' EXIT

stage_names=()
stage_results=()
stage_seconds=()
failed=0

# stage NAME COMMAND...: runs the command, records its outcome and duration. A command that
# exits 3 is recorded as skipped.
stage() {
  local name="$1"
  shift
  echo
  echo "=== ${name}"
  local start=${SECONDS} status=0
  "$@" || status=$?
  local result=ok
  if [ "${status}" -eq 3 ]; then
    result=skipped
  elif [ "${status}" -ne 0 ]; then
    result="FAILED (${status})"
    failed=1
  fi
  stage_names+=("${name}")
  stage_results+=("${result}")
  stage_seconds+=("$((SECONDS - start))")
  echo "=== ${name}: ${result}"
  return 0
}

last_ok() { [ "${stage_results[-1]}" = ok ]; }

configure() {
  cmake --preset "$1" -DTARNWICK_FIXTURES_DIR="${fixtures}"
}

build() {
  cmake --build --preset "$1" -j "${jobs}"
}

run_ctest() {
  ctest --preset "$1" -j "${jobs}" --timeout 600
}

fuzz_configure() {
  if [ ! -f tests/fuzz/CMakeLists.txt ]; then
    echo "notice: tests/fuzz/CMakeLists.txt does not exist yet; no fuzz targets to build"
    return 3
  fi
  configure fuzz
}

# Runs every fuzz_* executable of the fuzz build for ${fuzz_seconds}s, each over its own copy
# of the sample files (libFuzzer adds the inputs it finds to the corpus folder).
fuzz_run() {
  local targets=()
  if [ -d build/fuzz/tests/fuzz ]; then
    mapfile -t targets < <(find build/fuzz/tests/fuzz -type f -name 'fuzz_*' -perm -u+x | sort)
  fi
  if [ "${#targets[@]}" -eq 0 ]; then
    echo "notice: the fuzz build produced no fuzz_* executable; nothing to run"
    return 3
  fi
  local seeds=("${fixtures}"/*.mdb)
  if [ ! -e "${seeds[0]}" ]; then
    echo "no sample files in ${fixtures} to seed the fuzzers with"
    return 1
  fi
  local artifacts="${root}/build/fuzz/artifacts"
  mkdir -p "${artifacts}"
  local target name corpus log status=0
  for target in "${targets[@]}"; do
    name="$(basename "${target}")"
    corpus="${tmp}/corpus-${name}"
    log="${tmp}/${name}.log"
    mkdir -p "${corpus}"
    cp "${seeds[@]}" "${corpus}/"
    chmod -R u+w "${corpus}" # the sample files may be read-only
    echo "--- ${name}: ${fuzz_seconds}s over ${#seeds[@]} seed files"
    if "${target}" -max_total_time="${fuzz_seconds}" -timeout=10 -rss_limit_mb=4096 \
      -print_final_stats=1 -artifact_prefix="${artifacts}/${name}-" "${corpus}" >"${log}" 2>&1; then
      grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "${log}" || true
    else
      status=1
      echo "${name} FAILED; crashing inputs are kept in ${artifacts}; its report:"
      # From libFuzzer's or the sanitizer's error report on, else the end of the log.
      if grep -qE '^==[0-9]+==' "${log}"; then
        sed -n '/^==[0-9]*==/,$p' "${log}" | head -n 120
      else
        tail -n 60 "${log}"
      fi
    fi
  done
  return "${status}"
}

stage "setup" bash scripts/setup.sh

stage "default: configure" configure default
if last_ok; then stage "default: build" build default; fi
if last_ok; then stage "default: tests" run_ctest default; fi

stage "asan: configure" configure asan
if last_ok; then stage "asan: build" build asan; fi
if last_ok; then stage "asan: tests" run_ctest asan; fi

stage "fuzz: configure" fuzz_configure
if last_ok; then stage "fuzz: build" build fuzz; fi
if last_ok; then stage "fuzz: run" fuzz_run; fi

echo
echo "=== Summary"
total=0
for i in "${!stage_names[@]}"; do
  printf '  %-22s %6ss  %s\n' "${stage_names[$i]}" "${stage_seconds[$i]}" "${stage_results[$i]}"
  total=$((total + stage_seconds[i]))
done
printf '  %-22s %6ss\n' "total" "${total}"
exit "${failed}"
