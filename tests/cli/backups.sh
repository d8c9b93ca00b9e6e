#!/bin/sh
# backups.sh CLI SCRATCH
# tarnwick-cli's backups as a user meets them: the listing, a restore and its undoing checked with
# `export`, the backup an import makes first (and its warning when none can be made), and the
# usage errors. SCRATCH is a folder of the test's own.
set -u
cli=$1 dir=$2
rm -rf "$dir" && mkdir -p "$dir" || exit 1
export XDG_DATA_HOME="$dir/data" LC_ALL=C.UTF-8
file=$dir/TODO.MDB
status=0
fail() { echo "FAIL: $*"; status=1; }
listing() { "$cli" backups "$file" 2>/dev/null; }
newest() { listing | sed -n 1p | sed 's/^[^ ]* [^ ]*  *[0-9]*  //'; }
items() { "$cli" export "$1" "Things To Do"; }

"$cli" create "$file" >/dev/null && "$cli" create "$dir/other.mdb" >/dev/null || exit 1
said=$("$cli" backups "$file" 2>&1 >"$dir/out")
[ $? -eq 0 ] && [ ! -s "$dir/out" ] && [ "$said" = "tarnwick-cli: $file has no backups in $dir/data/tarnwick/backups" ] ||
  fail "a file without backups: $said"

# A restore keeps the file as it was as a backup, which a second restore puts back; the file
# keeps its permissions.
cp "$file" "$dir/before"
chmod 660 "$file" # group-writable: more than the usual umask lets a new file have
"$cli" restore "$dir/other.mdb" "$file" >"$dir/out" || fail "restore of another database"
cmp -s "$file" "$dir/other.mdb" || fail "the restored file is not the backup's bytes"
[ "$(stat -c %a "$file")" = 660 ] || fail "the restored file's permissions: $(stat -c %a "$file")"
kept=$(newest)
[ "$(listing | wc -l)" -eq 1 ] && cmp -s "$kept" "$dir/before" || fail "the file as it was is not kept: $(listing)"
grep -qx "the file as it was is backed up as $kept" "$dir/out" || fail "restore said: $(cat "$dir/out")"
line=$(listing)
printf '%s\n' "$line" | grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} +[0-9]+  /' &&
  [ "$(printf '%s\n' "$line" | awk '{ print $3 }')" = "$(stat -c %s "$kept")" ] &&
  [ "${line##*  }" = "$kept" ] || fail "listing line: $line"
"$cli" restore "$kept" "$file" >/dev/null && cmp -s "$file" "$dir/before" || fail "restore of the kept file"

# What cannot be restored is refused by db/backups (its test) and a held file by held_file.sh.
for usage in "backups" "backups $file extra" "restore $file"; do
  # shellcheck disable=SC2086
  "$cli" $usage >/dev/null 2>&1
  [ $? -eq 2 ] || fail "tarnwick-cli $usage: not a usage error"
done

if "$cli" import "$file" --from csv /dev/null 2>&1 | grep -q 'not available in this build'; then
  exit $status # the imports below need the program's routines
fi
# Each import (a run of its own) backs the file up before it writes.
printf '1,"Smith, John",Call re lease,1/5/2026,2026-01-10\n' >"$dir/a.csv"
printf '3,Estate of Brown,Draft will,,\n' >"$dir/b.csv"
items "$file" >"$dir/none.csv"
"$cli" import "$file" --from csv "$dir/a.csv" >/dev/null && items "$file" >"$dir/a.txt" &&
  "$cli" import "$file" --from csv "$dir/b.csv" >/dev/null && items "$file" >"$dir/ab.txt" || fail "imports"
count=$(listing | wc -l)
[ "$count" -eq 4 ] || fail "after two imports $count backups: $(listing)"
items "$(newest)" | cmp -s - "$dir/a.txt" || fail "the newest backup is not the file before the second import"
"$cli" restore "$(newest)" "$file" >/dev/null && items "$file" | cmp -s - "$dir/a.txt" || fail "restore after import"
items "$(newest)" | cmp -s - "$dir/ab.txt" || fail "the restore did not keep both imports"
"$cli" restore "$(newest)" "$file" >/dev/null && items "$file" | cmp -s - "$dir/ab.txt" || fail "restore undone"

# A backup that cannot be made is said once; the import goes on.
printf 'a file' >"$dir/not-a-folder"
said=$(XDG_DATA_HOME="$dir/not-a-folder" "$cli" import "$file" --from csv "$dir/a.csv" 2>&1 >"$dir/out")
[ $? -eq 0 ] && [ "$(cat "$dir/out")" = "1 item imported" ] || fail "an import without a backup did not go on"
case $said in "tarnwick-cli: warning: No backup of $file could be made before changing it: "*) ;;
  *) fail "warning: $said" ;; esac
[ "$(printf '%s\n' "$said" | wc -l)" -eq 1 ] || fail "more than one warning: $said"
[ "$(items "$file" | wc -l)" -eq $(($(wc -l <"$dir/ab.txt") + 1)) ] || fail "the item was not imported"

[ $status -eq 0 ] && rm -rf "$dir"
exit $status
