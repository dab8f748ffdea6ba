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
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  # One index failing (a mirror mid-sync) leaves the others usable; the
  # install then says whether what we need was among them.
  "${sudo_cmd[@]}" apt-get update -qq || echo "An index failed to update; installing from the others"
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
