#!/usr/bin/env bash
# Checks the Debian package as a distribution would: lintian on the .deb, hardening-check on
# its program and mandoc on the manual page. Fails on anything at warning level or above.
# Installs lintian, devscripts (hardening-check) and mandoc when missing.
# Usage: packaging/check_package.sh [BUILD_DIR]   (default build; a Release build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)

bash tools/ensure_packages.sh lintian devscripts mandoc

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(echo "$work"/package/trigcalc_*.deb)
[ -f "$deb" ] || { echo "cpack made no .deb"; exit 1; }

echo "== lintian $(basename "$deb")"
lintian --fail-on error,warning "$deb"

# Control-flow protection is marked on a program only when every object linked into it is
# marked. Where the C library's own start files are not (Debian 12's libc6-dev), no program
# can be, so the check is left to this project's objects: each must carry the marks.
cfi_option=()
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
start_file=$("$compiler" -print-file-name=Scrt1.o)
if ! readelf -n "$start_file" | grep -q 'x86 feature: IBT, SHSTK'; then
  echo "$start_file has no control-flow protection marks: checking this project's objects instead"
  cfi_option=(--nocfprotection)
  for object in "$build"/CMakeFiles/trigcalc.dir/*.o "$build"/CMakeFiles/trigcalc_core.dir/*/*.o; do
    readelf -n "$object" | grep -q 'x86 feature: IBT, SHSTK' ||
      { echo "$object was built without control-flow protection"; exit 1; }
  done
fi
echo "== hardening-check usr/bin/trigcalc"
dpkg-deb -x "$deb" "$work/root"
hardening-check "${cfi_option[@]}" "$work/root/usr/bin/trigcalc"

echo "== mandoc -Tlint trigcalc.1"
gzip -dc "$work/root/usr/share/man/man1/trigcalc.1.gz" >"$work/trigcalc.1"
mandoc -Tlint -W warning "$work/trigcalc.1"
echo "== mandoc -Tlint pt_BR/trigcalc.1"
gzip -dc "$work/root/usr/share/man/pt_BR/man1/trigcalc.1.gz" >"$work/trigcalc.pt_BR.1"
mandoc -Tlint -W warning "$work/trigcalc.pt_BR.1"
echo "package checks passed"
