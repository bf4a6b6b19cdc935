#!/usr/bin/env bash
# Completes a release folder that already holds the Debian package and both Windows zips: adds
# the source tarball of the committed tree (git archive) and SHA256SUMS over all four.
#   make_dist.sh DIST_DIR
set -euo pipefail
dist=$(realpath "$1")
cd "$(dirname "$0")/.."
deb=$(ls "$dist"/quillfen_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
version=${version%-*} # the release, without the package's revision
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "make_dist.sh: uncommitted changes are not in the source tarball (it holds HEAD)" >&2
fi
rm -f "$dist"/quillfen-*.tar.gz
git archive --format=tar.gz --prefix="quillfen-$version/" -o "$dist/quillfen-$version.tar.gz" HEAD
cd "$dist"
sha256sum "$(basename "$deb")" quillfen-win64.zip quillfen-win32.zip "quillfen-$version.tar.gz" \
  >SHA256SUMS
cat SHA256SUMS
