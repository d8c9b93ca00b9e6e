#!/usr/bin/env bash
# Installs what Tarnwick needs to build, run and test on Debian 12: the Debian packages, then the
# interop harness's npm packages. Safe to run again; a machine that has everything is left alone.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(
  # toolchain and build
  build-essential cmake ninja-build git ca-certificates
  clang libclang-rt-14-dev clang-format
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  # Qt 6
  qt6-base-dev qt6-webengine-dev qt6-tools-dev qt6-tools-dev-tools libgl-dev
  qt6-image-formats-plugins
  # oracles and tools used by the tests
  mdbtools poppler-utils fonts-liberation xvfb xauth xdotool imagemagick
  # the private session bus of the desktop-notification test
  dbus-daemon
  # validators of the launcher entry and the software-centre description
  desktop-file-utils appstream
  # the print system: the scheduler, its clients (lpadmin, lpstat), the filters and the PDF
  # printer's driver that the printer test's private scheduler uses, and Debian's PDF printer
  # for a desktop without a printer
  cups cups-daemon cups-client cups-filters printer-driver-cups-pdf
)

# Node.js 18 or newer runs the interop harness. Debian's own is 18; keep a newer one if present.
node_ok=false
if command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1; then
  node_major="$(node -p 'process.versions.node.split(".")[0]' 2>/dev/null || echo 0)"
  if [ "${node_major}" -ge 18 ]; then node_ok=true; fi
fi
if ! "${node_ok}"; then packages+=(nodejs npm); fi

# dpkg-query prints nothing for packages it has never heard of, so compare against the list.
installed="$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null |
  awk '$2 == "installed" { print $1 }' || true)"
missing=()
for p in "${packages[@]}"; do
  if ! grep -qxF "${p}" <<<"${installed}"; then missing+=("${p}"); fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
fi

# npm ci only when node_modules is missing or was installed from another lock file.
interop="${root}/tests/interop"
stamp="${interop}/node_modules/.tarnwick-lock.sha256"
lock_sum="$(sha256sum "${interop}/package-lock.json" | cut -d' ' -f1)"
if [ ! -f "${stamp}" ] || [ "$(cat "${stamp}")" != "${lock_sum}" ]; then
  echo "setup: npm ci in tests/interop"
  (cd "${interop}" && npm ci --no-audit --no-fund --loglevel=error)
  echo "${lock_sum}" >"${stamp}"
fi
