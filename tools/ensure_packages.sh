#!/usr/bin/env bash
# The one way this project installs Debian packages. Installs each PACKAGE that is not
# installed yet, as root or through sudo (apt-get update, then apt-get install -y). While
# another apt or dpkg holds the package lock it waits, saying so, and tries again every 5 s
# for up to ENSURE_PACKAGES_LOCK_WAIT seconds in all (default 600). It says what it found and
# did: which packages were missing, which it installed, which another process installed
# meanwhile, and which it could not install and why.
# Usage: tools/ensure_packages.sh PACKAGE...
# Exit status 0 when every PACKAGE is installed afterwards, 1 otherwise.
set -euo pipefail
lock_wait=${ENSURE_PACKAGES_LOCK_WAIT:-600}
retry_seconds=5

say() { echo "ensure_packages: $*"; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }

# Splits PACKAGE... into the arrays now_installed and not_installed.
split_installed() {
  now_installed=()
  not_installed=()
  local package
  for package in "$@"; do
    if installed "$package"; then now_installed+=("$package"); else not_installed+=("$package"); fi
  done
}

# apt-get's error lines in the log, joined on one line.
apt_errors() { grep '^E:' "$log" | paste -sd ' ' || true; }

# Runs apt-get ARGS as root, its output in $log. While a lock is held, says so once and
# tries again until the deadline.
apt_get() {
  local waiting=""
  while true; do
    if "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q "$@" >"$log" 2>&1; then
      [ -z "$waiting" ] || say "the package lock is free after $((SECONDS - waiting)) s"
      return 0
    fi
    grep -q 'Could not get lock' "$log" || return 1
    if [ "$SECONDS" -ge "$deadline" ]; then
      say "the package lock was still held after $lock_wait s"
      return 1
    fi
    if [ -z "$waiting" ]; then
      waiting=$SECONDS
      say "apt-get $1 waits for the package lock: $(grep -m1 'Could not get lock' "$log" | sed 's/^E: //')"
    fi
    sleep "$retry_seconds"
  done
}

[ $# -gt 0 ] || { echo "usage: tools/ensure_packages.sh PACKAGE..." >&2; exit 2; }
split_installed "$@"
missing=("${not_installed[@]}")
if [ ${#missing[@]} -eq 0 ]; then
  say "nothing to install: $* already installed"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
  how="as root"
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
  how="through sudo"
else
  say "not installed: ${missing[*]}; cannot install them: not root and no sudo"
  exit 1
fi
say "not installed: ${missing[*]}; installing $how"
deadline=$((SECONDS + lock_wait))

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! apt_get update; then
  say "apt-get update failed ($(apt_errors)); installing from the package lists already here"
fi

# Another apt may have installed some of them while this one waited for the lock.
split_installed "${missing[@]}"
[ ${#now_installed[@]} -eq 0 ] || say "installed meanwhile by another process: ${now_installed[*]}"
[ ${#not_installed[@]} -gt 0 ] || exit 0
missing=("${not_installed[@]}")
install_errors=""
apt_get install -y "${missing[@]}" || install_errors=$(apt_errors)

split_installed "${missing[@]}"
[ ${#now_installed[@]} -eq 0 ] || say "installed: ${now_installed[*]}"
[ ${#not_installed[@]} -eq 0 ] ||
  say "could not install: ${not_installed[*]} (${install_errors:-apt-get install said nothing})"
[ ${#not_installed[@]} -eq 0 ]
