#!/usr/bin/env bash
# Proves that the install steps are complete: makes a pristine Debian 12 root with mmdebstrap (from this machine's
# apt sources), copies the repository's files into it and runs `bash scripts/package.sh` there, chrooted in a mount
# namespace of its own. A machine that did earlier work hides a missing install step; this root has nothing but a
# fresh installation's packages.
# Usage (as root): pristine-package.sh [COMMAND]
#   COMMAND  what to run in the root's copy of the repository instead (e.g. 'bash scripts/test.sh')
# VANTREL_PRISTINE_KEEP=1 keeps the root (its path is printed) for a look afterwards.
# With CCACHE_DIR set (as .ci/run sets it), the root also gets ccache and that cache: the compiler's output is the
# same in the root, the install steps are still only the project's own, and the build there takes a fraction.
set -euo pipefail
cd "$(dirname "$0")/.."
command=${1:-bash scripts/package.sh}
[ "$(id -u)" -eq 0 ] || { echo "pristine-package.sh makes a chroot: run it as root" >&2; exit 1; }
bash scripts/deps.sh --only mmdebstrap
start=$SECONDS
phase() { echo "== pristine root: $1 ($((SECONDS - start)) s so far)"; }

root=$(mktemp -d /var/tmp/vantrel-pristine.XXXXXX)
cleanup() {
  # The root's mounts lived in the namespace and are gone with it; only its files are left.
  if [ "${VANTREL_PRISTINE_KEEP:-0}" = 1 ]; then echo "pristine root kept in $root"; else rm -rf --one-file-system "$root"; fi
}
trap cleanup EXIT

sources=()
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -s "$f" ] && sources+=("$f")
done
[ ${#sources[@]} -gt 0 ] || { echo "This machine has no apt sources to make the root from" >&2; exit 1; }
cache=()
if [ -n "${CCACHE_DIR:-}" ] && [ -d "$CCACHE_DIR" ]; then
  cache=(--include=ccache)
fi
phase "mmdebstrap bookworm (${sources[*]})"
mmdebstrap --quiet "${cache[@]}" bookworm "$root" "${sources[@]}"
# What every installed machine has and a bare root lacks: names for the loopback addresses, and a resolver.
printf '127.0.0.1\tlocalhost\n::1\tlocalhost ip6-localhost ip6-loopback\n' >"$root/etc/hosts"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

phase "copying the repository"
mkdir "$root/vantrel"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # The files a clone has (and new ones not yet committed), no build folders.
  git ls-files -z --cached --others --exclude-standard |
    tar --null --files-from=- --ignore-failed-read -c | tar -x -C "$root/vantrel"
else
  tar --exclude='./build*' -c . | tar -x -C "$root/vantrel"
fi

phase "running '$command'"
status=0
unshare --mount --propagation private bash -c '
  set -e
  root=$1 command=$2 cache=$3
  mount -t proc proc "$root/proc"
  mount --rbind /dev "$root/dev"
  mount -t sysfs sysfs "$root/sys"
  environment=(HOME=/root LANG=C.UTF-8 TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
  if [ -n "$cache" ]; then
    mkdir "$root/ccache"
    mount --bind "$cache" "$root/ccache"
    environment+=(CCACHE_DIR=/ccache CCACHE_BASEDIR=/vantrel CCACHE_NOHASHDIR=1 CMAKE_C_COMPILER_LAUNCHER=ccache
                  CMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  exec chroot "$root" /usr/bin/env -i "${environment[@]}" /bin/bash -c "cd /vantrel && $command"
' pristine "$root" "$command" "${cache:+$CCACHE_DIR}" || status=$?
phase "done, exit status $status"
exit "$status"
