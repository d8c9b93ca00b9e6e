#!/usr/bin/env bash
# Takes the README's screenshot of the main window: builds the program and a law office's sample
# database (tools/sample, deadlines around today), starts the real program on a virtual X display
# with settings of its own that open that database, and writes the window's picture.
#
#   scripts/screenshot.sh [OUTPUT]      (default: docs/screenshot.png)
#
# The database lives at a fixed, readable path while the picture is taken, since the window's
# title shows it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "${root}"
output="$(realpath -m "${1:-docs/screenshot.png}")"

bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target tarnwick make_sample_database

office="/tmp/tarnwick-sample"
database="${office}/Law Office.mdb"
rm -rf "${office}"
mkdir -p "${office}/config/tarnwick" "${office}/data"
trap 'rm -rf "${office}"' EXIT
build/default/tools/sample/make_sample_database "${database}"
printf '[MostRecentToDoDatabases]\nFirst=%s\n' "${database}" >"${office}/config/tarnwick/tarnwick.ini"

# Qt WebEngine (linked for the help browser) refuses to start as root with its sandbox on.
export QTWEBENGINE_DISABLE_SANDBOX=1
export XDG_CONFIG_HOME="${office}/config" XDG_DATA_HOME="${office}/data"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -euo pipefail -c '
  "$1" &
  program=$!
  window=""
  for _ in $(seq 60); do
    window="$(xdotool search --name "^Tarnwick - " 2>/dev/null | head -n 1 || true)"
    [ -n "${window}" ] && break
    sleep 0.5
  done
  if [ -z "${window}" ]; then
    echo "screenshot: the main window did not appear" >&2
    kill "${program}"
    exit 1
  fi
  # Wide enough for whole item texts: the columns share the width.
  xdotool windowmove "${window}" 0 0 windowsize "${window}" 1000 380
  sleep 1 # until it has painted
  import -window "${window}" "$2"
  kill "${program}"
  wait "${program}" 2>/dev/null || true
' screenshot "${root}/build/default/tarnwick" "${output}"
echo "screenshot: wrote ${output}"
