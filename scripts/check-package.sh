#!/usr/bin/env bash
# Checks a vantrel-plugin .deb as a packager would before shipping it:
#   - lintian reports no error and no warning;
#   - the plug-in needs no symbol version newer than Ubuntu 22.04 has (GLIBC 2.35, GLIBCXX 3.4.30, CXXABI 1.3.13),
#     and nothing of PCRE2 newer than 10.39 (the version dpkg-shlibdeps derived from Debian's symbol records);
#   - every symbol it takes from outside has a provider: a versioned library symbol, PCRE2, or the host's FM_*;
#   - it is stripped, its debug symbols are in the -dbgsym package beside it, and it is linked with full RELRO and
#     built with the stack protector.
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
plugin=$(find "$work/root" -name '*.fmx' -type f)
[ -n "$plugin" ] || fail "no plug-in inside"

# Symbol versions the plug-in requires, from its version-needs section.
needs=$(LC_ALL=C readelf -V --wide "$plugin" | sed -nE 's/.*Name: ([A-Z]+)_([0-9.]+).*/\1 \2/p')
highest() { echo "$needs" | awk -v n="$1" '$1 == n { print $2 }' | sort -V | tail -1; }
for pair in GLIBC:$max_glibc GLIBCXX:$max_glibcxx CXXABI:$max_cxxabi; do
  name=${pair%%:*} limit=${pair#*:} have=$(highest "${pair%%:*}")
  [ -z "$have" ] || version_le "$have" "$limit" || fail "needs ${name}_$have, Ubuntu 22.04 has only ${name}_$limit"
  echo "highest ${name} version needed: ${have:-none} (at most $limit)"
done

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
sections=$(LC_ALL=C readelf -S --wide "$plugin")
grep -q '\.debug_info' <<<"$sections" && fail "the plug-in is not stripped"
grep -q '\.gnu_debuglink' <<<"$sections" || fail "the plug-in has no link to its debug file"
build_id=$(LC_ALL=C readelf -n "$plugin" | sed -nE 's/.*Build ID: ([0-9a-f]+).*/\1/p')
dbgsym=$(dirname "$deb")/$(basename "$deb" .deb | sed 's/^vantrel-plugin_/vantrel-plugin-dbgsym_/').ddeb
[ -f "$dbgsym" ] || fail "no debug symbols package $dbgsym"
grep -q "usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug" <<<"$(dpkg-deb -c "$dbgsym")" ||
  fail "$dbgsym holds no debug file for build ID $build_id"

grep -q GNU_RELRO <<<"$(LC_ALL=C readelf -l --wide "$plugin")" || fail "not linked with -z relro"
grep -qE 'BIND_NOW|FLAGS_1.*NOW' <<<"$(LC_ALL=C readelf -d --wide "$plugin")" || fail "not linked with -z now"
imports=$(LC_ALL=C nm -D --undefined-only "$plugin")
grep -q '__stack_chk_fail' <<<"$imports" || fail "not built with the stack protector"
grep -q '_chk@' <<<"$imports" || fail "not built with _FORTIFY_SOURCE"
echo "$deb: lintian clean, symbol versions and PCRE2 within Ubuntu 22.04, stripped with separate debug symbols," \
     "hardened"
