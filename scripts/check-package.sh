#!/usr/bin/env bash
# Checks a vantrel-plugin .deb as a packager would before shipping it:
#   - lintian reports no error and no warning;
#   - one copy of the plug-in, mode 0755, in each engine's plug-in folder, no folder of FileMaker's owned, and the
#     plug-in finds libFMWrapper.so in /opt/FileMaker/lib (RUNPATH) and in no folder of the build tree;
#   - the plug-in needs no symbol version newer than Ubuntu 22.04 has (GLIBC 2.35, GLIBCXX 3.4.30, CXXABI 1.3.13),
#     and nothing of PCRE2 newer than 10.39 (the version dpkg-shlibdeps derived from Debian's symbol records);
#   - every symbol it takes from outside has a provider: a versioned library symbol, PCRE2, or the host's FM_*;
#   - it is stripped, its debug symbols are in the -dbgsym package beside it, and it is linked with full RELRO and
#     built with the stack protector;
#   - the allow-list checker (/usr/bin/vantrel-allowlist-check) is held to the same symbol versions, stripping and
#     hardening.
# Usage: check-package.sh PACKAGE.deb
set -euo pipefail
deb=$1
max_glibc=2.35 max_glibcxx=3.4.30 max_cxxabi=1.3.13 max_pcre2=10.39
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$deb: $*" >&2; exit 1; }
# version_le A B: A <= B, in Debian's version order.
version_le() { dpkg --compare-versions "$1" le "$2"; }

lintian --fail-on error,warning --tag-display-limit 0 "$deb" || fail "lintian reports the problems above"

dpkg-deb -x "$deb" "$work/root"
# One copy, mode 0755, in each engine's plug-in folder, and no folder of FileMaker's in the package.
server="opt/FileMaker/FileMaker Server"
plugin="$work/root/$server/Database Server/Extensions/Vantrel.fmx"
contents=$(dpkg-deb -c "$deb")
for folder in "Database Server/Extensions" "Web Publishing/publishing-engine/cwpc/Plugins" \
              "Web Publishing/publishing-engine/wip/Plugins"; do
  copy="$server/$folder/Vantrel.fmx"
  grep -qE "^-rwxr-xr-x [^ ]+ .* \./$copy\$" <<<"$contents" || fail "no plug-in of mode 0755 at /$copy"
  cmp -s "$plugin" "$work/root/$copy" || fail "/$copy differs from the Script Engine's copy"
done
[ "$(grep -c '\.fmx$' <<<"$contents")" = 3 ] || fail "more plug-in files than the three engines' copies"
grep -qE '^d.* \./opt/' <<<"$contents" && fail "the package lists a folder under /opt, which it would then own"

# FileMaker Server keeps its libFMWrapper.so in /opt/FileMaker/lib, off the loader's path: the plug-in must look
# there, and nowhere in the build tree.
dynamic=$(LC_ALL=C readelf -d --wide "$plugin")
runpath=$(sed -nE 's/.*\(RUNPATH\).*\[(.*)\]$/\1/p' <<<"$dynamic")
[ "$runpath" = /opt/FileMaker/lib ] || fail "RUNPATH is '${runpath}', not /opt/FileMaker/lib"
grep -q '(RPATH)' <<<"$dynamic" && fail "the plug-in has an RPATH, which LD_LIBRARY_PATH could not override"
grep -qF '[libFMWrapper.so]' <<<"$dynamic" || fail "the plug-in does not record its need of libFMWrapper.so"
echo "RUNPATH /opt/FileMaker/lib; three copies of mode 0755, for the Script Engine, Web Publishing and the Data API"
checker=$work/root/usr/bin/vantrel-allowlist-check
[ -x "$checker" ] || fail "no vantrel-allowlist-check inside"

# Symbol versions a binary requires, from its version-needs section.
check_versions() {
  local needs
  needs=$(LC_ALL=C readelf -V --wide "$1" | sed -nE 's/.*Name: ([A-Z]+)_([0-9.]+).*/\1 \2/p')
  for pair in GLIBC:$max_glibc GLIBCXX:$max_glibcxx CXXABI:$max_cxxabi; do
    name=${pair%%:*} limit=${pair#*:}
    have=$(echo "$needs" | awk -v n="$name" '$1 == n { print $2 }' | sort -V | tail -1)
    [ -z "$have" ] || version_le "$have" "$limit" ||
      fail "$(basename "$1") needs ${name}_$have, Ubuntu 22.04 has only ${name}_$limit"
    echo "$(basename "$1"): highest ${name} version needed: ${have:-none} (at most $limit)"
  done
}
check_versions "$plugin"
check_versions "$checker"

# PCRE2 carries no symbol versions; Debian records per function the release that introduced it, and
# dpkg-shlibdeps turned that into the package's dependency on whichever code-unit width the plug-in links.
depends=$(dpkg-deb -f "$deb" Depends)
pcre2=$(echo "$depends" | tr ',' '\n' | sed -nE 's/^ *libpcre2-(8|16|32)-0 \(>= ([^)]+)\).*/\2/p')
[ -n "$pcre2" ] || fail "no versioned PCRE2 dependency in: $depends"
version_le "$pcre2" "$max_pcre2" || fail "uses PCRE2 functions from $pcre2, Ubuntu 22.04 has $max_pcre2"
echo "PCRE2 needed from version $pcre2 (at most $max_pcre2); Depends: $depends"

# Undefined dynamic symbols: versioned ones come from system libraries, weak ones may stay unresolved; the rest
# must be PCRE2's or the host's.
orphans=$(LC_ALL=C nm -D --undefined-only "$plugin" | awk '$1 == "U" && $2 !~ /@/ { print $2 }' |
          grep -vE '^(pcre2_|FM_)' || true)
[ -z "$orphans" ] || fail "symbols no library provides: $orphans"

# FileMaker Server for Linux shows a plug-in's soname as its version: it must be the package's version (without
# a Debian revision), which comes from the project's version as the plug-in's version constants do.
soname=$(LC_ALL=C readelf -d --wide "$plugin" | sed -nE 's/.*Library soname: \[(.*)\].*/\1/p')
package_version=$(dpkg-deb -f "$deb" Version)
package_version=${package_version%%-*}
[ "$soname" = "$package_version" ] || fail "soname '$soname' is not the package's version $package_version"
echo "soname: $soname (what FileMaker Server shows as the plug-in's version)"

# Each listing is read whole before grep looks at it: `grep -q` stops at the first match, and under pipefail the
# writer's SIGPIPE would then fail the check.
dbgsym=$(dirname "$deb")/$(basename "$deb" .deb | sed 's/^vantrel-plugin_/vantrel-plugin-dbgsym_/').ddeb
[ -f "$dbgsym" ] || fail "no debug symbols package $dbgsym"
debug_files=$(dpkg-deb -c "$dbgsym")
check_stripped_and_hardened() {
  local what sections build_id imports
  what=$(basename "$1")
  sections=$(LC_ALL=C readelf -S --wide "$1")
  grep -q '\.debug_info' <<<"$sections" && fail "$what is not stripped"
  grep -q '\.gnu_debuglink' <<<"$sections" || fail "$what has no link to its debug file"
  build_id=$(LC_ALL=C readelf -n "$1" | sed -nE 's/.*Build ID: ([0-9a-f]+).*/\1/p')
  grep -q "usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug" <<<"$debug_files" ||
    fail "$dbgsym holds no debug file for $what (build ID $build_id)"

  grep -q GNU_RELRO <<<"$(LC_ALL=C readelf -l --wide "$1")" || fail "$what is not linked with -z relro"
  grep -qE 'BIND_NOW|FLAGS_1.*NOW' <<<"$(LC_ALL=C readelf -d --wide "$1")" || fail "$what is not linked with -z now"
  imports=$(LC_ALL=C nm -D --undefined-only "$1")
  grep -q '__stack_chk_fail' <<<"$imports" || fail "$what is not built with the stack protector"
  grep -q '_chk@' <<<"$imports" || fail "$what is not built with _FORTIFY_SOURCE"
}
check_stripped_and_hardened "$plugin"
check_stripped_and_hardened "$checker"
echo "$deb: lintian clean, symbol versions and PCRE2 within Ubuntu 22.04, stripped with separate debug symbols," \
     "hardened"
