#!/usr/bin/env bash
# Sets up and runs every test: the default build's tests, a check that every test expected is
# registered, the commands the README shows, the engine and CLI under ASan/UBSan, and each
# libFuzzer target for a bounded time over the sample files. Works from a clone at any path, as
# root or as a user who may use sudo (for the packages). Prints at the end what ran, how many
# tests passed, what was skipped and why, and the time of each stage; exits non-zero if any stage
# failed.
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
# exits 3 is recorded as skipped, with the reason it wrote to ${tmp}/skip-reason.
stage() {
  local name="$1"
  shift
  echo
  echo "=== ${name}"
  rm -f "${tmp}/skip-reason"
  local start=${SECONDS} status=0
  "$@" || status=$?
  local result=ok
  if [ "${status}" -eq 3 ]; then
    result="skipped: $(cat "${tmp}/skip-reason" 2>/dev/null || echo "no reason given")"
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

# Runs a preset's tests and keeps ctest's own summary line ("100% tests passed, 0 tests failed
# out of 120") and the names of tests it skipped for the final report.
run_ctest() {
  local status=0
  ctest --preset "$1" -j "${jobs}" --timeout 600 2>&1 | tee "${tmp}/ctest-$1.log" || status=$?
  local summary
  summary="$(grep -E 'tests passed' "${tmp}/ctest-$1.log" | tail -n 1)"
  counts+=("$1: ${summary:-no ctest summary}")
  while IFS= read -r skipped; do
    counts+=("$1: skipped ${skipped}")
  done < <(grep -E '\*\*\*(Skipped|Not Run)' "${tmp}/ctest-$1.log" | sed -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: //')
  return "${status}"
}

# The tests that must be registered: one interop test per sample file, besides the others. A
# missing tool or folder fails the configure step already; this catches a test list that shrank
# for any other reason.
check_registered() {
  local listed
  listed="$(ctest --preset default -N)"
  local total missing=0 file name
  total="$(grep -cE '^ +Test +#' <<<"${listed}")"
  for file in "${fixtures}"/*.mdb; do
    name="interop.$(basename "${file}")"
    if ! grep -qE "Test +#[0-9]+: ${name//./\.}\$" <<<"${listed}"; then
      echo "not registered: ${name}"
      missing=1
    fi
  done
  echo "${total} tests registered, $(ls "${fixtures}"/*.mdb | wc -l) sample files each with its interop test"
  return "${missing}"
}

fuzz_configure() {
  if [ ! -f tests/fuzz/CMakeLists.txt ]; then
    echo "tests/fuzz/CMakeLists.txt does not exist; no fuzz targets to build" | tee "${tmp}/skip-reason"
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
    echo "the fuzz build produced no fuzz_* executable" | tee "${tmp}/skip-reason"
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

counts=()

stage "setup" bash scripts/setup.sh

stage "default: configure" configure default
built=false
if last_ok; then stage "default: build" build default && last_ok && built=true; fi
if "${built}"; then
  stage "default: registered" check_registered
  stage "default: tests" run_ctest default
  stage "readme commands" bash tests/readme_commands.sh
fi

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
echo "Tests:"
for line in "${counts[@]}"; do echo "  ${line}"; done
echo "Sample files: ${fixtures} ($(ls "${fixtures}"/*.mdb 2>/dev/null | wc -l) files)"
if [ "${failed}" -eq 0 ]; then echo "Result: every stage passed"; else echo "Result: FAILED"; fi
exit "${failed}"
