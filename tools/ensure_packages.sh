#!/usr/bin/env bash
# Installs each Debian PACKAGE that is not installed yet; does nothing when all are.
# Usage: ensure_packages.sh PACKAGE...   Fails when a package is still missing afterwards.
set -euo pipefail

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }

missing=()
for package in "$@"; do
  installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
echo "installing missing packages: ${missing[*]}"
sudo_prefix=()
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null 2>&1; then sudo_prefix=(sudo); fi
"${sudo_prefix[@]}" apt-get update -qq >/dev/null 2>&1 || true
DEBIAN_FRONTEND=noninteractive "${sudo_prefix[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
for package in "${missing[@]}"; do installed "$package"; done
