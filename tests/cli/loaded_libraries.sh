#!/bin/sh
# loaded_libraries.sh CLI FIXTURE SCRATCH QT_FOR_CREATE
# The reading commands of tarnwick-cli must not load Qt or ICU; `create` must still work, and it
# loads Qt exactly when QT_FOR_CREATE is 1 (the build where it runs the program's routines).
# What the dynamic loader actually opens is read from LD_DEBUG=libs, which also catches
# libraries opened at run time.
set -u
cli=$1 fixture=$2 scratch=$3 qt_for_create=$4
status=0
fail() { echo "FAIL: $*"; status=1; }

loads_qt() { # COMMAND...: prints the Qt and ICU libraries the command opened
  LD_DEBUG=libs "$@" 2>&1 >/dev/null | grep -o 'lib\(Qt6[A-Za-z]*\|icu[a-z]*\)\.so[.0-9]*' | sort -u | tr "\n" " "
}

for command in "tables $fixture" "schema $fixture" "check $fixture" \
               "export $fixture Table1" "export $fixture Table1 --format json" "backups $fixture"; do
  # shellcheck disable=SC2086
  found=$(loads_qt "$cli" $command)
  [ -z "$found" ] || fail "tarnwick-cli $command loaded: $found"
done

rm -f "$scratch"
found=$(loads_qt "$cli" create "$scratch")
"$cli" tables "$scratch" | grep -qx 'Things To Do' || fail "tarnwick-cli create made no database with the program's tables"
if [ "$qt_for_create" = 1 ] && [ -z "$found" ]; then
  fail "tarnwick-cli create did not run the program's routines (Qt was not loaded)"
fi
found=$(loads_qt "$cli" export "$scratch" "Things To Do" --format ics)
[ -z "$found" ] || fail "tarnwick-cli export --format ics loaded: $found"
rm -f "$scratch"
exit $status
