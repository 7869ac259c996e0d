#!/usr/bin/env bash
# Installs Debian PACKAGE... when COMMAND is not on the PATH; does nothing when it is.
# Usage: ensure_tool.sh COMMAND PACKAGE...   Fails when the tool is still missing afterwards.
set -euo pipefail
command_name=$1
shift
if command -v "$command_name" >/dev/null 2>&1; then exit 0; fi
echo "$command_name is missing: installing $*"
sudo_prefix=()
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null 2>&1; then sudo_prefix=(sudo); fi
"${sudo_prefix[@]}" apt-get update -qq >/dev/null 2>&1 || true
DEBIAN_FRONTEND=noninteractive "${sudo_prefix[@]}" apt-get install -y -qq "$@" >/dev/null 2>&1 || true
command -v "$command_name" >/dev/null 2>&1
