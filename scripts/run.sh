#!/usr/bin/env bash
# Sets up, builds and starts Tarnwick. Arguments are passed to the program.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "${root}"

bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j2

# Qt WebEngine (the help browser) refuses to start as root with its sandbox on.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run: no display; starting Tarnwick on a virtual X server (xvfb-run)" >&2
  exec xvfb-run -a build/default/tarnwick "$@"
fi
exec build/default/tarnwick "$@"
