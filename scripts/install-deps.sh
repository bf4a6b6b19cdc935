#!/usr/bin/env bash
# Installs the Debian packages of one group, or of several:
#   install-deps.sh run       building and running the desktop program (`make run`)
#   install-deps.sh windows   cross-building the Windows program (`make windows`)
#   install-deps.sh package   building and checking the Debian package (`make package`)
#   install-deps.sh test      everything `make test` uses: run, windows, package and the checks
#                             below
# Idempotent: asks apt only for what is missing.
set -euo pipefail

build_packages=(
  build-essential cmake pkg-config make git
)

run_packages=(
  # OpenGL and GLU (Mesa)
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  # desktop backend
  libfltk1.3-dev zlib1g-dev fonts-liberation2
  # the desktop's file chooser: GTK 3's dialog (FLTK's own chooser where GTK cannot start)
  libgtk-3-dev
)

windows_packages=(
  # MinGW-w64 cross compilers: 64-bit and 32-bit
  g++-mingw-w64-x86-64 g++-mingw-w64-i686
)

package_packages=(
  # the package's dependencies worked out from the linked libraries (dpkg-shlibdeps reads
  # what `file` finds to be ELF), Debian's build flags (dpkg-buildflags)
  dpkg-dev file
  # Debian's package checker and the validators of the desktop entry and the AppStream metadata
  lintian desktop-file-utils appstream
  # quillfen-check draws off screen through EGL (Mesa's surfaceless platform)
  libegl-dev libegl-mesa0
)

test_packages=(
  # tests
  googletest libgtest-dev libgmock-dev
  # offscreen EGL for the headless backend (Mesa)
  libegl-dev libegl-mesa0
  # independent encoders for the conformance tests
  imagemagick python3-pil
  # desktop tests: a virtual screen and synthetic input
  xvfb xauth xdotool x11-utils
  # the Windows program under Wine (64-bit)
  wine64
  # fuzzing, sanitizers, memory checks
  clang libclang-rt-14-dev llvm-14 valgrind
  # benchmarks and their reference decoders
  libbenchmark-dev libstb-dev libsdl2-image-dev
  # mutation runs (make mutants)
  ninja-build
)

packages=()
for group in "${@:-test}"; do
  case "$group" in
    run) packages+=("${build_packages[@]}" "${run_packages[@]}") ;;
    windows) packages+=("${build_packages[@]}" "${windows_packages[@]}") ;;
    package) packages+=("${build_packages[@]}" "${run_packages[@]}" "${package_packages[@]}") ;;
    test)
      packages+=("${build_packages[@]}" "${run_packages[@]}" "${windows_packages[@]}"
        "${package_packages[@]}" "${test_packages[@]}")
      ;;
    *) echo "install-deps.sh: unknown group '$group' (run, windows, package or test)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
