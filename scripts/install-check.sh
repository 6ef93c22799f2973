#!/usr/bin/env bash
# Installs and removes a vantrel-plugin .deb on this machine (as root) the way an administrator would, and checks
# what an administrator relies on: one copy of mode 0755 in each engine's plug-in folder, given to the fmsadmin
# group where it exists (and said so plainly where it does not), the next steps printed, the allow-list never
# created or changed, and removal taking the copies and their group overrides but leaving FileMaker's folders, /opt
# and the allow-list.
# Usage: install-check.sh PACKAGE.deb
set -euo pipefail
deb=$1
[ "$(id -u)" -eq 0 ] || { echo "install-check.sh installs a package: run it as root" >&2; exit 1; }
if dpkg-query -W -f='${Status}' vantrel-plugin 2>/dev/null | grep -q "install ok installed"; then
  echo "vantrel-plugin is already installed here; not touching it" >&2
  exit 1
fi
fm="/opt/FileMaker"
server="$fm/FileMaker Server"
plugins=("$server/Database Server/Extensions/Vantrel.fmx"
         "$server/Web Publishing/publishing-engine/cwpc/Plugins/Vantrel.fmx"
         "$server/Web Publishing/publishing-engine/wip/Plugins/Vantrel.fmx")
zeq="$server/Data/Zeq"
allowlist="$zeq/zeqPluginsAllowedFunctions.txt"
created_fm=0
[ -e "$fm" ] || created_fm=1
created_group=0
log=$(mktemp)
cleanup() {
  dpkg --purge vantrel-plugin >/dev/null 2>&1 || true
  rm -f "$log"
  if [ "$created_fm" = 1 ]; then rm -rf "$fm"; fi
  if [ "$created_group" = 1 ]; then groupdel fmsadmin; fi
}
trap cleanup EXIT
fail() { echo "install check: $*" >&2; cat "$log" >&2; exit 1; }

# expect_copies GROUP: every copy is in place, mode 0755, root's, of that group.
expect_copies() {
  for plugin in "${plugins[@]}"; do
    [ -f "$plugin" ] || fail "no plug-in at $plugin"
    [ "$(stat -c '%a %U %G' "$plugin")" = "755 root $1" ] ||
      fail "$plugin is $(stat -c '%a %U:%G' "$plugin"), not 755 root:$1"
  done
}
# expect_removed: no copy and no override of ours is left; FileMaker's folders and /opt are.
expect_removed() {
  for plugin in "${plugins[@]}"; do
    [ ! -e "$plugin" ] || fail "$plugin is still there after removal"
    dpkg-statoverride --list "$plugin" >/dev/null && fail "the group override of $plugin outlived the package"
    [ -d "$(dirname "$plugin")" ] || fail "removal took FileMaker's folder $(dirname "$plugin") away"
  done
  [ -d /opt ] || fail "removal took /opt away"
}

# First installation, FileMaker Server not installed (no fmsadmin group), no allow-list yet: the copies are in
# place, the next steps and the missing group are told, nothing is created for the administrator.
[ ! -e "$allowlist" ] || fail "an allow-list already exists at $allowlist; run this on a machine without one"
if ! getent group fmsadmin >/dev/null; then
  dpkg -i "$deb" >"$log" 2>&1 || fail "dpkg -i failed"
  expect_copies root
  grep -q "the group fmsadmin does not exist" "$log" || fail "the installation did not say that fmsadmin is missing"
  for plugin in "${plugins[@]}"; do
    dpkg-statoverride --list "$plugin" >/dev/null && fail "an override for $plugin without the fmsadmin group"
  done
  grep -q "Next steps" "$log" || fail "the installation printed no next steps"
  grep -q 'Get ( InstalledFMPlugins )' "$log" || fail "the installation did not name the check that needs no allow-list"
  grep -q 'Vantrel_Version ( "long" )' "$log" || fail "the installation did not say what Vantrel_Version answers"
  grep -q 'shell-command-obeys-allow-list' "$log" || fail "the installation did not say how the shell command obeys"
  [ ! -e "$allowlist" ] && [ ! -e "$zeq" ] || fail "the installation created the allow-list or its folder"
  dpkg -S /opt/FileMaker >/dev/null 2>&1 && fail "the package owns FileMaker's folders"
  dpkg -r vantrel-plugin >"$log" 2>&1 || fail "dpkg -r failed"
  expect_removed
  groupadd --system fmsadmin
  created_group=1
fi

# With FileMaker Server's group, beside an administrator's allow-list: each copy is the group's, the allow-list is
# left exactly as it was, also by removal, and removal takes the group overrides back.
mkdir -p "$zeq"
printf 'Invoices.fmp12\tVantrel_Version\n' >"$allowlist"
chmod 0640 "$allowlist"
before=$(stat -c '%s %Y %a %U' "$allowlist")$(sha256sum <"$allowlist")
dpkg -i "$deb" >"$log" 2>&1 || fail "dpkg -i with the fmsadmin group failed"
expect_copies fmsadmin
grep -q "belongs to the group fmsadmin" "$log" || fail "the installation did not tell the group it gave"
grep -q "left as it is" "$log" || fail "the installation did not notice the allow-list"
[ "$before" = "$(stat -c '%s %Y %a %U' "$allowlist")$(sha256sum <"$allowlist")" ] ||
  fail "the installation changed the allow-list"
# An upgrade (the same version again) keeps the group.
dpkg -i "$deb" >"$log" 2>&1 || fail "reinstalling failed"
expect_copies fmsadmin
dpkg -r vantrel-plugin >"$log" 2>&1 || fail "dpkg -r failed"
expect_removed
[ "$before" = "$(stat -c '%s %Y %a %U' "$allowlist")$(sha256sum <"$allowlist")" ] ||
  fail "removal changed the allow-list"
# Purging a removed package leaves nothing of it either.
dpkg --purge vantrel-plugin >"$log" 2>&1 || fail "dpkg --purge failed"
expect_removed
rm -f "$allowlist"
rmdir "$zeq"
echo "$deb installs a copy of mode 0755 for each of the three engines, gives them to fmsadmin where that group" \
     "exists and says so where it does not, prints the next steps, leaves the allow-list and FileMaker's folders" \
     "alone, and removes the copies and their group overrides."
