#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the example need,
# skipping the apt run when they are all present already.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git clang-14 libclang-rt-14-dev
  libgtest-dev libbenchmark-dev
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev fonts-liberation2
  libx11-dev libxtst-dev
  libsndfile1-dev sox
  libfftw3-dev libzita-convolver-dev
  xvfb xauth
  # LV2 headers; lv2_validate runs sordi's sord_validate; lilv's tools and library
  lv2-dev sordi lilv-utils liblilv-dev
  # the LV2 UI in a real host: jalv.gtk3 on a dummy JACK server
  jalv jackd2
  # the Debian package: dpkg-shlibdeps, and lintian to check it
  dpkg-dev lintian
  lsp-plugins-vst
  # a VST3 host nobody here wrote, and known-good VST3 plug-ins beside ours
  ardour zam-plugins python3
  # a CLAP host nobody here wrote: Qtractor's plug-in scanner
  qtractor
)

source "$(dirname "$0")/lib/apt.sh"
apt_install "${packages[@]}"
