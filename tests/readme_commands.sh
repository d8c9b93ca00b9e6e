#!/usr/bin/env bash
# Runs every command the README shows, so that the README stays true.
# Each line of a ```sh block of README.md is a command. Placeholders are filled in: FILE is a
# database made by the first `create` command (or a new one), TABLE is "Things To Do", CSVFILE a
# CSV file of two to-do items, BACKUP a copy of FILE, and an optional part in [brackets] is
# dropped. `scripts/test.sh` (the caller) and `cmake` lines (what test.sh itself runs) are not
# repeated; `scripts/run.sh` is started without a display and must show the main window on its
# virtual display. Run it from the repository's root, after the default build.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "${root}"
tmp="$(mktemp -d)"
trap 'rm -rf "${tmp}"' EXIT
db="${tmp}/readme.mdb"
export XDG_CONFIG_HOME="${tmp}/config" XDG_DATA_HOME="${tmp}/data"
csv="${tmp}/items.csv"
printf '1,"Smith, John",Call re lease,1/5/2026,2026-01-10\n3,Estate of Brown,Draft will,,\n' >"${csv}"

mapfile -t commands < <(awk '/^```sh/ { inside = 1; next } /^```/ { inside = 0 } inside' README.md)
ran=0
failed=0
for line in "${commands[@]}"; do
  command="$(sed -E 's/[[:space:]]+#.*$//; s/\[[^]]*\]//g; s/[[:space:]]+$//' <<<"${line}")"
  [ -n "${command}" ] || continue
  case "${command}" in
  scripts/test.sh* | cmake*) continue ;;
  esac
  command="${command//CSVFILE/${csv}}"
  command="${command//FILE/${db}}"
  command="${command//TABLE/\"Things To Do\"}"
  if [ ! -f "${db}" ] && [[ "${command}" != *" create "* ]]; then
    build/default/tarnwick-cli create "${db}" >/dev/null
  fi
  if [[ "${command}" == *BACKUP* ]]; then
    cp "${db}" "${tmp}/backup.mdb"
    command="${command//BACKUP/${tmp}/backup.mdb}"
  fi
  echo "readme: ${command}"
  status=0
  case "${command}" in
  scripts/run.sh*)
    # No desktop: the program must start on a virtual display of its own and show its window.
    (unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM; exec bash -c "exec ${command}") >"${tmp}/run.log" 2>&1 &
    run_pid=$!
    window=""
    for _ in $(seq 240); do
      display="$(grep -oE 'virtual X display :[0-9]+' "${tmp}/run.log" | grep -oE ':[0-9]+' || true)"
      if [ -n "${display}" ]; then window="$(DISPLAY="${display}" xdotool search --name '^Tarnwick - ' || true)"; fi
      [ -n "${window}" ] && break
      sleep 0.5
    done 2>/dev/null
    kill -TERM "${run_pid}" 2>/dev/null || true
    wait "${run_pid}" 2>/dev/null || true
    if [ -z "${window}" ]; then
      echo "readme: scripts/run.sh did not show Tarnwick's window on a virtual display:"
      tail -n 20 "${tmp}/run.log"
      status=1
    fi
    ;;
  *)
    if [[ "${command}" == *" create "* ]]; then rm -f "${db}"; fi
    bash -c "${command}" >"${tmp}/out.log" 2>&1 || status=$?
    if [ "${status}" -ne 0 ]; then tail -n 20 "${tmp}/out.log"; fi
    ;;
  esac
  ran=$((ran + 1))
  if [ "${status}" -ne 0 ]; then
    echo "readme: FAILED (${status}): ${line}"
    failed=1
  fi
done
echo "readme: ${ran} commands run"
[ "${ran}" -gt 0 ] || { echo "readme: no commands found in README.md"; exit 1; }
exit "${failed}"
