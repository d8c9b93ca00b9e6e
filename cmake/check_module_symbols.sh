#!/bin/bash
# check_module_symbols.sh MODULE EXECUTABLE: fails, naming them, when MODULE needs symbols that
# neither EXECUTABLE's exported symbols nor the libraries MODULE links provide. A module that
# takes the program's code from the executable cannot be linked with -z defs (the linker does
# not take an executable as a library), so this stands in for that check after each link.
set -euo pipefail
module="$1" executable="$2"

# Symbol names without their version suffix ("name@Qt_6", "name@@Qt_6").
names() { awk '{print $NF}' | sed 's/@.*//' | sort -u; }

needed="$(nm -D --undefined-only "${module}" | awk '$1 == "U"' | names)"
provided="$({
  nm -D --defined-only "${executable}"
  ldd "${module}" | awk '$2 == "=>" && $3 ~ /^\// {print $3}' | while read -r library; do
    nm -D --defined-only "${library}"
  done
} | names)"
missing="$(comm -23 <(printf '%s\n' "${needed}") <(printf '%s\n' "${provided}"))"
if [ -n "${missing}" ]; then
  echo "${module} needs symbols that ${executable} does not export:" >&2
  printf '%s\n' "${missing}" | c++filt >&2
  exit 1
fi
