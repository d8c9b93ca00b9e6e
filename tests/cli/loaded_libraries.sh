#!/bin/sh
# loaded_libraries.sh CLI FIXTURE SCRATCH QT_FOR_CREATE
# The reading commands of tarnwick-cli must not load Qt or ICU; `create` must still work, and it
# loads Qt exactly when QT_FOR_CREATE is 1 (the build where it runs the program's routines).
# What the dynamic loader actually opens is read from LD_DEBUG=libs, which also catches
# libraries opened at run time.
set -u
cli=$1 fixture=$2 scratch=$3 qt_for_create=$4
status=0

loads_qt() { # COMMAND...: prints the Qt and ICU libraries the command opened
  LD_DEBUG=libs "$@" 2>&1 >/dev/null | grep -o 'lib\(Qt6[A-Za-z]*\|icu[a-z]*\)\.so[.0-9]*' | sort -u | tr "\n" " "
}

for command in "tables $fixture" "schema $fixture" "check $fixture" \
               "export $fixture Table1" "export $fixture Table1 --format json"; do
  # shellcheck disable=SC2086
  found=$(loads_qt "$cli" $command)
  if [ -n "$found" ]; then
    echo "FAIL: tarnwick-cli $command loaded: $found"
    status=1
  fi
done

rm -f "$scratch"
found=$(loads_qt "$cli" create "$scratch")
if [ ! -s "$scratch" ] || ! "$cli" tables "$scratch" | grep -qx 'Things To Do'; then
  echo "FAIL: tarnwick-cli create made no database with the program's tables"
  status=1
fi
if [ "$qt_for_create" = 1 ] && [ -z "$found" ]; then
  echo "FAIL: tarnwick-cli create did not run the program's routines (Qt was not loaded)"
  status=1
fi
found=$(loads_qt "$cli" export "$scratch" "Things To Do" --format ics)
if [ -n "$found" ] || ! "$cli" export "$scratch" "Things To Do" --format ics | grep -q '^END:VCALENDAR'; then
  echo "FAIL: tarnwick-cli export --format ics loaded: $found, or wrote no calendar"
  status=1
fi
rm -f "$scratch"
exit $status
