#!/bin/sh
# held_file.sh CLI HOLDER SCRATCH
# While another Tarnwick has a file in use (HOLDER, a helper process holding it), the writing
# commands of tarnwick-cli refuse it with the window's message and status 1, and leave it as it
# was; the reading commands still work.
set -u
cli=$1 holder=$2 file=$3
fifo=$file.input out=$file.holder
status=0
rm -f "$file" "$fifo" "$out"
"$cli" create "$file" || exit 1
cp "$file" "$file.before"

mkfifo "$fifo"
"$holder" "$file" <"$fifo" >"$out" &
exec 3>"$fifo" # the holder keeps its hold until this ends
tries=0
until [ -s "$out" ] || [ $tries -ge 200 ]; do
  sleep 0.05
  tries=$((tries + 1))
done
[ "$(cat "$out")" = held ] || { echo "FAIL: the helper did not hold the file: $(cat "$out")"; exit 1; }

expected="tarnwick-cli: $file is open in another Tarnwick (user $(id -un) on host $(hostname)).  Close it there first."
refused() { # ARGUMENTS...: a writing command that must refuse the held file
  message=$("$cli" "$@" 2>&1 >/dev/null)
  code=$?
  if [ $code -ne 1 ] || [ "$message" != "$expected" ]; then
    echo "FAIL: tarnwick-cli $* on a held file: status $code, said: $message"
    status=1
  fi
}
refused create "$file"
cmp -s "$file" "$file.before" || { echo "FAIL: the held file was changed"; status=1; }
"$cli" tables "$file" | grep -qx 'Things To Do' || { echo "FAIL: tables of a held file"; status=1; }

exec 3>&-
wait
rm -f "$file" "$file.before" "$fifo" "$out"
exit $status
