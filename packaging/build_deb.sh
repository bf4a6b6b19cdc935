#!/usr/bin/env bash
# Writes the Debian package of a configured and built tree into a folder and prints its path:
#   build_deb.sh BUILD_DIR OUT_DIR
# The folder keeps one package only: an older quillfen_*.deb there is removed first.
set -euo pipefail
build=$(realpath "$1")
out=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/log" 2>&1; then
  cat "$scratch/log" >&2
  exit 1
fi
mkdir -p "$out"
rm -f "$out"/quillfen_*.deb
mv "$scratch"/quillfen_*.deb "$out"/
ls "$out"/quillfen_*.deb
