#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: Depends computed from
# the linked libraries and naming Qt 6, the licence inside, no lintian
# errors. Exits 77 (skipped) when a tool is missing.
#   check-package.sh BUILD_DIR OUT_DIR
set -uo pipefail

build=$1
out=$2

missing=()
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "SKIPPED: missing ${missing[*]} (bash scripts/install-deps.sh test installs them)"
  exit 77
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$out"
mkdir -p "$out"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  echo "FAIL: cpack -G DEB"
  exit 1
fi
debs=("$out"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb in $out"; exit 1; }
deb=${debs[0]}

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libc6; do
  grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib"
done
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/karsidan ./usr/bin/karsidan-cli ./usr/share/doc/karsidan/copyright \
         ./usr/share/doc/karsidan/changelog.gz ./usr/share/man/man1/karsidan.1.gz \
         ./usr/share/bash-completion/completions/karsidan-cli; do
  grep -qx -e "$f" <<<"$contents" || fail "package lacks $f"
done
# Read whole before grep: grep -q stops early, and under pipefail the tar
# it leaves writing would fail the check at random.
copyright=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/karsidan/copyright)
grep -q 'Permission is hereby granted' <<<"$copyright" || fail "copyright file carries no licence text"

report=$(lintian --tag-display-limit 0 "$deb" 2>&1)
echo "$report"
if grep -q '^E: ' <<<"$report"; then
  fail "lintian reports errors"
fi

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "$(basename "$deb"): Depends from shlibdeps, licence inside, no lintian errors"
