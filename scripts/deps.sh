#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when some are missing.
#   scripts/deps.sh [--browser] [PACKAGE...]
#   scripts/deps.sh --only PACKAGE...
#     --browser  also the headless browser (chromium) of the test that renders GetAsHTML output
#     --only     just the packages named (the package build needs far fewer)
#     PACKAGE    further Debian packages
set -euo pipefail
packages=(g++ make cmake pkg-config libpcre2-dev libsqlite3-dev sqlite3 libedit-dev libgtest-dev libgmock-dev
  libbenchmark-dev nlohmann-json3-dev libxml2-utils)
with_node=1
if [ "${1:-}" = --only ]; then
  shift
  packages=()
  with_node=0
fi
for argument in "$@"; do
  if [ "$argument" = --browser ]; then packages+=(chromium); else packages+=("$argument"); fi
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Node.js is the reference for the regular-expression comparison; any node on the PATH will do.
if [ "$with_node" = 1 ] && ! command -v node >/dev/null 2>&1; then missing+=(nodejs); fi
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root, or install them with apt-get)" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
