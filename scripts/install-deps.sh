#!/bin/bash
# Installs the Debian 12 packages the project needs to build, make its assets,
# run and test. Packages already present are left alone.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake clang libclang-rt-14-dev libgtest-dev
  # the C++ style check (the version its settings were chosen with)
  clang-format-14 git
  # OpenGL 1.1, GLU and GLUT, rendered by Mesa; ALSA for sound without /dev/dsp
  libgl1-mesa-dev libglu1-mesa-dev freeglut3-dev libgl1-mesa-dri libasound2-dev
  # the overlay's text at every window scale: FreeType and a Times-metric serif
  libfreetype-dev fonts-liberation
  # game pads: SDL2's game-controller layer (no SDL window)
  libsdl2-dev
  # asset making: images, sounds, music, models
  imagemagick fonts-dejavu-core sox lame python3
  # the music decoder the game starts
  mpg123
  # ALSA's default output into a PulseAudio server; the tests run a private
  # server and record it with parec
  libasound2-plugins pulseaudio pulseaudio-utils
  # headless tests: a virtual display, input and window tools, an independent SGI writer
  xvfb xdotool x11-utils x11-apps netpbm
  # a window manager for the end-to-end tests that minimise the game's window or
  # make it full screen; xrdb for the desktop's scale (Xft.dpi)
  openbox x11-xserver-utils
  # test tools: the end-to-end suite's runner, and its pixel arrays
  python3-pytest python3-pytest-timeout python3-numpy python3-pil
  # the Debian package: shared-library dependencies, its checkers
  dpkg-dev lintian desktop-file-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
