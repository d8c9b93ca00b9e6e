#!/usr/bin/env bash
# Installs the build with `cmake --install` into a temporary prefix and as the Debian package
# (unpacked by dpkg-deb, not installed), checks the files each holds and the package's
# dependencies, and starts each installed program from a read-only tree: it must create its
# default database in the per-user data folder, record it in the per-user settings, and write
# nothing under the install. As root the programs run as the unprivileged user 65534, for whom
# the permission bits count. Usage: installed_program_test.sh BUILD_DIR APP_ID LIBDIR
set -euo pipefail

build="$(cd "$1" && pwd)"
app_id="$2"
libdir="$3"
tmp="$(mktemp -d)"
chmod 755 "${tmp}"
program_pid=""
cleanup() {
  if [ -n "${program_pid}" ]; then kill -KILL "${program_pid}" 2>/dev/null || true; fi
  chmod -R u+w "${tmp}" 2>/dev/null || true
  rm -rf "${tmp}"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

as_user=()
if [ "$(id -u)" -eq 0 ]; then as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --); fi

# The files every install holds, relative to its prefix.
expected=(bin/tarnwick bin/tarnwick-cli "${libdir}/tarnwick/tarnwick_browser.so" share/tarnwick/tarnwick.gif
  "share/applications/${app_id}.desktop" "share/metainfo/${app_id}.metainfo.xml"
  "share/icons/hicolor/scalable/apps/${app_id}.svg")
for size in 16 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/${app_id}.png")
done

# check_install NAME PREFIX: the files are there; the program, started read-only, puts its
# database in the per-user data folder and the prefix stays as it was.
check_install() {
  local name="$1" prefix="$2" file
  echo "--- ${name}: ${prefix}"
  for file in "${expected[@]}"; do
    [ -f "${prefix}/${file}" ] || fail "${name}: ${file} is not installed"
  done
  chmod -R a-w "${prefix}"
  local before after
  before="$(find "${prefix}" -printf '%p %s %T@\n' | sort)"

  local home="${tmp}/home-${name}"
  mkdir -p "${home}"
  if [ "${#as_user[@]}" -gt 0 ]; then chown 65534:65534 "${home}"; fi
  local database="${home}/data/tarnwick/TODO.MDB" settings="${home}/config/tarnwick/tarnwick.ini"
  env -i PATH="${PATH}" HOME="${home}" XDG_CONFIG_HOME="${home}/config" \
    XDG_DATA_HOME="${home}/data" QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 \
    "${as_user[@]}" "${prefix}/bin/tarnwick" >"${tmp}/${name}.log" 2>&1 &
  program_pid=$!
  # The recently-used entry is written once the new database is complete and closed.
  local i
  for i in $(seq 120); do
    grep -qF "${database}" "${settings}" 2>/dev/null && break
    kill -0 "${program_pid}" 2>/dev/null || break
    sleep 0.5
  done
  kill -TERM "${program_pid}" 2>/dev/null || true
  wait "${program_pid}" 2>/dev/null || true
  program_pid=""
  grep -qF "${database}" "${settings}" 2>/dev/null ||
    fail "${name}: the program did not record ${database} in ${settings}; its output:
$(cat "${tmp}/${name}.log")"

  "${prefix}/bin/tarnwick-cli" check "${database}" >/dev/null ||
    fail "${name}: the new database does not pass tarnwick-cli check"
  local activities
  activities="$("${prefix}/bin/tarnwick-cli" export "${database}" Activities | wc -l)"
  [ "${activities}" -eq 16 ] || fail "${name}: expected a header and 15 activities, got ${activities} lines"
  after="$(find "${prefix}" -printf '%p %s %T@\n' | sort)"
  [ "${before}" = "${after}" ] || fail "${name}: the program changed the install:
$(diff <(echo "${before}") <(echo "${after}") || true)"
  echo "${name}: database created in ${database}"
}

cmake --install "${build}" --prefix "${tmp}/prefix" >/dev/null
check_install prefix "${tmp}/prefix"

(cd "${tmp}" && cpack --config "${build}/CPackConfig.cmake" -G DEB -B "${tmp}/deb" >/dev/null)
package="$(ls "${tmp}"/deb/tarnwick_*.deb)"
depends="$(dpkg-deb -f "${package}" Depends)"
echo "package depends: ${depends}"
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6webenginewidgets6 fonts-liberation; do
  grep -qE "(^|, )${needed}( |,|$)" <<<"${depends}" || fail "the package does not depend on ${needed}"
done
dpkg-deb -x "${package}" "${tmp}/root"
check_install deb "${tmp}/root/usr"
