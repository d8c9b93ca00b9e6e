#!/bin/sh
# private_bus.sh COMMAND [ARGUMENT...]
# Runs COMMAND with a session bus of its own: a dbus-daemon with a configuration of ours, so that
# a notification server installed on the machine can never answer on it. The one service the bus
# could start is org.freedesktop.Notifications, which only leaves the file activated behind in the
# folder PRIVATE_BUS_DIR names; PRIVATE_BUS is the bus's address. Exit status: COMMAND's, or 77
# (the reason on standard output) when dbus-daemon is not installed.
set -u
command -v dbus-daemon >/dev/null ||
  { echo "Skipped: dbus-daemon is not installed (Debian package dbus-daemon)"; exit 77; }
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/services" || exit 1
printf '[D-BUS Service]\nName=org.freedesktop.Notifications\nExec=%s %s\n' "$(command -v touch)" \
  "$dir/activated" >"$dir/services/org.freedesktop.Notifications.service"
cat >"$dir/bus.conf" <<CONF
<busconfig>
  <type>session</type>
  <listen>unix:path=$dir/bus</listen>
  <servicedir>$dir/services</servicedir>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$dir/bus.conf" --print-address=3 --nofork 3>"$dir/address" 2>"$dir/log" &
daemon=$!
trap 'kill $daemon 2>/dev/null; wait $daemon; rm -rf "$dir"' EXIT
tries=0
until [ -s "$dir/address" ]; do
  if ! kill -0 $daemon 2>/dev/null || [ $tries -ge 300 ]; then
    echo "dbus-daemon gave no address: $(cat "$dir/log")"
    exit 1
  fi
  tries=$((tries + 1))
  sleep 0.05
done
PRIVATE_BUS=$(head -n 1 "$dir/address")
export PRIVATE_BUS PRIVATE_BUS_DIR="$dir"
"$@"
