#!/usr/bin/env bash
# Sets up, builds and starts Tarnwick from this clone, wherever it is. Arguments are passed to the
# program.
#
# With a desktop (DISPLAY or WAYLAND_DISPLAY set) the window opens there. Without one, Tarnwick
# starts on a virtual X server of its own (Xvfb), where nobody sees it: the script says so, names
# the virtual display and how to look at it, and stops the server when the program ends.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "${root}"

bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target tarnwick tarnwick-cli

program="${root}/build/default/tarnwick"

# Qt WebEngine (the help browser) refuses to start as root with its sandbox on.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
  exec "${program}" "$@"
fi

# No desktop: the first free display number from :90 on.
display=90
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
  display=$((display + 1))
done
Xvfb ":${display}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "${xvfb_pid}" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display}" ] && break
  sleep 0.1
done

cat >&2 <<EOF
run: there is no desktop here (DISPLAY is not set), so Tarnwick runs on a display of its own,
run: the virtual X display :${display}, which nobody can see. To look at it:
run:     import -display :${display} -window root tarnwick.png    (ImageMagick screenshot)
run: To drive it:  DISPLAY=:${display} xdotool key alt+f
run: On a desktop, run scripts/run.sh from a terminal of that desktop to see the window.
run: Stop the program with Ctrl+C here.
EOF
DISPLAY=":${display}" "${program}" "$@" &
program_pid=$!
trap 'kill -TERM "${program_pid}" 2>/dev/null || true' INT TERM
status=0
wait "${program_pid}" || status=$?
wait "${program_pid}" 2>/dev/null || true # after a signal, until the program has gone
exit "${status}"
