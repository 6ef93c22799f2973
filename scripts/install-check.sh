#!/usr/bin/env bash
# Installs and removes a vantrel-plugin .deb on this machine (as root) the way an administrator would, and checks
# what an administrator relies on: the plug-in lands in FileMaker Server's Extensions folder, the installation
# prints the next steps, the allow-list is never created or changed, and removal leaves /opt and the allow-list.
# Usage: install-check.sh PACKAGE.deb
set -euo pipefail
deb=$1
[ "$(id -u)" -eq 0 ] || { echo "install-check.sh installs a package: run it as root" >&2; exit 1; }
if dpkg-query -W -f='${Status}' vantrel-plugin 2>/dev/null | grep -q "install ok installed"; then
  echo "vantrel-plugin is already installed here; not touching it" >&2
  exit 1
fi
fm="/opt/FileMaker"
plugin="$fm/FileMaker Server/Database Server/Extensions/Vantrel.fmx"
zeq="$fm/FileMaker Server/Data/Zeq"
allowlist="$zeq/zeqPluginsAllowedFunctions.txt"
created_fm=0
[ -e "$fm" ] || created_fm=1
log=$(mktemp)
cleanup() {
  dpkg -r vantrel-plugin >/dev/null 2>&1 || true
  rm -f "$log"
  if [ "$created_fm" = 1 ]; then rm -rf "$fm"; fi
}
trap cleanup EXIT
fail() { echo "install check: $*" >&2; cat "$log" >&2; exit 1; }

# First installation, no allow-list yet: next steps printed, nothing created for the administrator.
[ ! -e "$allowlist" ] || fail "an allow-list already exists at $allowlist; run this on a machine without one"
dpkg -i "$deb" >"$log" 2>&1 || fail "dpkg -i failed"
[ -f "$plugin" ] || fail "no plug-in at $plugin"
grep -q "Next steps" "$log" || fail "the installation printed no next steps"
grep -q 'Vantrel_Version ( "long" )' "$log" || fail "the installation did not say how to check the plug-in loaded"
[ ! -e "$allowlist" ] && [ ! -e "$zeq" ] || fail "the installation created the allow-list or its folder"
dpkg -S /opt 2>/dev/null | grep -q vantrel-plugin && fail "the package owns /opt"
dpkg -r vantrel-plugin >"$log" 2>&1 || fail "dpkg -r failed"
[ ! -e "$plugin" ] || fail "the plug-in is still there after removal"
[ -d /opt ] || fail "removal took /opt away"

# Reinstallation beside an administrator's allow-list: it is left exactly as it was, also by removal.
mkdir -p "$zeq"
printf 'Invoices.fmp12\tVantrel_Version\n' >"$allowlist"
chmod 0640 "$allowlist"
before=$(stat -c '%s %Y %a %U' "$allowlist")$(sha256sum <"$allowlist")
dpkg -i "$deb" >"$log" 2>&1 || fail "dpkg -i over an existing allow-list failed"
grep -q "left as it is" "$log" || fail "the installation did not notice the allow-list"
[ "$before" = "$(stat -c '%s %Y %a %U' "$allowlist")$(sha256sum <"$allowlist")" ] ||
  fail "the installation changed the allow-list"
dpkg -r vantrel-plugin >"$log" 2>&1 || fail "dpkg -r failed"
[ "$before" = "$(stat -c '%s %Y %a %U' "$allowlist")$(sha256sum <"$allowlist")" ] ||
  fail "removal changed the allow-list"
rm -f "$allowlist"
rmdir "$zeq"
echo "$deb installs into the Extensions folder, prints the next steps, leaves the allow-list and /opt alone, and" \
     "removes cleanly."
