#!/usr/bin/env bash
# The package of a built tree (packaging/build_deb.sh): lintian finds no error or warning, it
# holds what a desktop looks for, its dependencies come from the linked libraries, its desktop
# entry and AppStream metadata are valid, and the program starts from its files.
#   check_package.sh BUILD_DIR DESKTOP_TEST
set -euo pipefail
build=$1
desktop_test=$2
root=$(cd "$(dirname "$0")/../../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }

deb=$(bash "$root/packaging/build_deb.sh" "$build" "$work")
lintian --fail-on error,warning --display-info "$deb"

dpkg-deb -c "$deb" | awk '{ print $6 }' >"$work/files"
for file in usr/bin/quillfen usr/bin/quillfen-check usr/share/applications/quillfen.desktop \
  usr/share/icons/hicolor/{16x16,24x24,32x32,48x48}/apps/quillfen.png \
  usr/share/metainfo/org.quillfen.quillfen.metainfo.xml usr/share/man/man1/quillfen.1.gz \
  usr/share/man/man1/quillfen-check.1.gz \
  usr/share/doc/quillfen/copyright usr/share/doc/quillfen/changelog.Debian.gz; do
  grep -qx "./$file" "$work/files" || fail "not in the package: $file"
done
if grep -v -e '^\./usr/' -e '^\./$' "$work/files"; then fail "files outside /usr"; fi
depends=$(dpkg-deb -f "$deb" Depends)
for library in libfltk1.3 libfltk-gl1.3 libgtk-3-0 'libglu1-mesa | libglu1' libx11-6 libegl1 libc6; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = "libegl-mesa0" ] ||
  fail "Recommends is not Mesa's EGL alone"

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/quillfen.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.quillfen.quillfen.metainfo.xml"
"$work/root/usr/bin/quillfen-check" | tail -n 1 | grep -x '[0-9]* cases, 0 disagree' ||
  fail "the packaged quillfen-check does not agree with the arithmetic"
QF_TEST_PROGRAM="$work/root/usr/bin/quillfen" "$root/tests/systems/desktop/run_under_xvfb.sh" \
  "$desktop_test" --gtest_filter=Desktop.StartsWithEmptyBlackViewInButtonFaceWindow
