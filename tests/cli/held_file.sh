#!/bin/sh
# held_file.sh CLI HOLDER SCRATCH
# While another Tarnwick (HOLDER, a helper process) has a file in use, the writing commands refuse
# it with the window's message and status 1, leaving it as it was (restore too); the reading
# commands work (backups too).
set -u
cli=$1 holder=$2 file=$3
export XDG_DATA_HOME="$file.data" # backups, were any made, go there
rm -f "$file" "$file.in" && "$cli" create "$file" && cp "$file" "$file.before" || exit 1
mkfifo "$file.in"
"$holder" "$file" <"$file.in" >"$file.out" &
exec 3>"$file.in" # the helper holds the file until this closes
i=0; until [ -s "$file.out" ] || [ $i -gt 200 ]; do sleep 0.05; i=$((i + 1)); done
[ "$(cat "$file.out")" = held ] || { echo "FAIL: the helper says: $(cat "$file.out")"; exit 1; }
status=0
expected="tarnwick-cli: $file is open in another Tarnwick (user $(id -un) on host $(hostname)).  Close it there first."
refused() { # ARGUMENTS...: a writing command on the held file
  said=$("$cli" "$@" 2>&1 >/dev/null)
  code=$?
  [ $code -eq 1 ] && [ "$said" = "$expected" ] || { echo "FAIL: $*: status $code, said: $said"; status=1; }
}
refused create "$file"
refused restore "$file.before" "$file"
printf '3,ADMINISTRATION,Renew the lease,,\n' >"$file.csv"
if "$cli" import "$file" --from csv "$file.csv" 2>&1 | grep -q 'not available in this build'; then
  : # a build without Qt has no import
else
  refused import "$file" --from csv "$file.csv"
fi
cmp -s "$file" "$file.before" || { echo "FAIL: the held file was changed"; status=1; }
"$cli" tables "$file" | grep -qx 'Things To Do' || { echo "FAIL: tables of a held file"; status=1; }
exec 3>&-
wait
"$cli" backups "$file" 2>&1 | grep -q 'has no backups' || { echo "FAIL: backups of a held file"; status=1; }
rm -rf "$file" "$file.before" "$file.in" "$file.out" "$file.csv" "$file.data"
exit $status
