#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need.
# Idempotent: asks apt only for what is missing.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config make git
  # tests
  googletest libgtest-dev libgmock-dev
  # OpenGL, GLU and offscreen EGL (Mesa)
  libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  # independent encoders for the conformance tests
  imagemagick python3-pil
  # desktop backend and its tests
  libfltk1.3-dev zlib1g-dev fonts-liberation2 xvfb xauth xdotool x11-utils
  # run: the GTK file dialog FLTK's native chooser loads at run time (GTK 2 is the one it tries
  # first; without it, FLTK's own chooser shows)
  libgtk2.0-0
  # fuzzing, sanitizers, memory checks
  clang libclang-rt-14-dev llvm-14 valgrind
  # benchmarks and their reference decoders
  libbenchmark-dev libstb-dev libsdl2-image-dev
)

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
