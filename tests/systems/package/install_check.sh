#!/usr/bin/env bash
# Installs the package with apt, starts the installed program until its window shows (the
# desktop test's start-up check), removes the package with --purge and checks that nothing of
# it is left. It changes the machine, so it is `make package-install-check`, not `make test`.
#   install_check.sh PACKAGE.deb DESKTOP_TEST
set -euo pipefail
deb=$(realpath "$1")
desktop_test=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
if dpkg-query -W -f='${Status}' quillfen 2>/dev/null | grep -q 'install ok installed'; then
  echo "quillfen is installed already; remove it first, this check must leave no trace" >&2
  exit 1
fi

$sudo apt-get install -y "$deb"
files=$(dpkg-query -L quillfen)
count=$(grep -c . <<<"$files")
echo "installed: $(dpkg-query -W -f='${Package} ${Version}' quillfen), $count paths"
command -v quillfen
QF_TEST_PROGRAM=/usr/bin/quillfen "$here/../desktop/run_under_xvfb.sh" "$desktop_test" \
  --gtest_filter=Desktop.StartsWithEmptyBlackViewInButtonFaceWindow
man -w quillfen quillfen-check
quillfen-check | tail -n 1 | grep -x '[0-9]* cases, 0 disagree'

$sudo apt-get remove --purge -y quillfen
left=0
while read -r path; do
  # A file of the package, or a folder of its own that dpkg should have taken away.
  if [ -f "$path" ] || [ -L "$path" ] || { [ -d "$path" ] && [ -z "$(ls -A "$path")" ] &&
    ! dpkg-query -S "$path" >/dev/null 2>&1; }; then
    echo "left behind: $path" >&2
    left=1
  fi
done <<<"$files"
status=$(dpkg-query -W -f='${Status}' quillfen 2>/dev/null || true)
case "$status" in
  "" | *" not-installed") ;;
  *) echo "quillfen is not purged: $status" >&2; left=1 ;;
esac
[ "$left" -eq 0 ]
echo "removed: none of the package's $count paths is left"
