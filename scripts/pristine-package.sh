#!/usr/bin/env bash
# Proves that the install steps are complete: makes a pristine Debian 12 root with mmdebstrap (from this machine's
# apt sources), copies the repository's files into it and runs `bash scripts/package.sh` there, chrooted in a mount
# namespace of its own. A machine that did earlier work hides a missing install step; this root has nothing but a
# fresh installation's packages.
# Usage (as root): pristine-package.sh [COMMAND]
#   COMMAND  what to run in the root's copy of the repository instead (e.g. 'bash scripts/test.sh')
# VANTREL_PRISTINE_KEEP=1 keeps the root (its path is printed) for a look afterwards.
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
phase "mmdebstrap bookworm (${sources[*]})"
mmdebstrap --quiet bookworm "$root" "${sources[@]}"
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
  mount -t proc proc "$1/proc"
  mount --rbind /dev "$1/dev"
  mount -t sysfs sysfs "$1/sys"
  exec chroot "$1" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "cd /vantrel && $2"
' pristine "$root" "$command" || status=$?
phase "done, exit status $status"
exit "$status"
