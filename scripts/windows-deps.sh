#!/usr/bin/env bash
# Installs the MinGW-w64 cross compilers, zlib and Wine from Debian (the
# 32-bit Wine only where 32-bit code runs), and builds a static libpng for
# each Windows architecture into build/deps/<arch>, which the mingw presets
# search. Safe to run again: it does only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

source scripts/lib/apt.sh
source scripts/lib/i386.sh

packages=(
  cmake make
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine64 xvfb xauth dpkg-dev googletest
)
# The 32-bit loader only where 32-bit code runs: it is an i386 package, and
# the 32-bit DLL is checked without it elsewhere (scripts/test-windows.sh).
if runs_i386_code; then
  if ! dpkg --print-foreign-architectures | grep -qx i386 && [ -n "$(apt_missing wine32:i386)" ]; then
    "${apt_sudo[@]}" dpkg --add-architecture i386
  fi
  packages+=(wine wine32:i386)
fi
apt_install "${packages[@]}"

# Debian ships no MinGW libpng; its own source package cross-builds cleanly.
deps=$root/build/deps

needs_libpng=0
for arch in i686 x86_64; do
  [ -f "$deps/$arch/lib/libpng.a" ] || needs_libpng=1
done
[ $needs_libpng -eq 0 ] && exit 0

if ! ls -d "$deps"/src/libpng1.6-*/ >/dev/null 2>&1; then
  source_list=/etc/apt/sources.list.d/debian-src.sources
  if [ ! -f "$source_list" ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      "${apt_sudo[@]}" tee "$source_list" >/dev/null
    apt_update_indexes || true
  fi
  mkdir -p "$deps/src"
  (cd "$deps/src" && apt_source libpng1.6)
fi
source_dir=$(ls -d "$deps"/src/libpng1.6-*/ | head -n 1)

for arch in i686 x86_64; do
  [ -f "$deps/$arch/lib/libpng.a" ] && continue
  echo "Building libpng from $(basename "$source_dir") for $arch"
  cmake -S "$source_dir" -B "$deps/build-png-$arch" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/$arch" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_LIBRARY="/usr/$arch-w64-mingw32/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="/usr/$arch-w64-mingw32/include" >/dev/null
  cmake --build "$deps/build-png-$arch" -j2 >/dev/null
  cmake --install "$deps/build-png-$arch" >/dev/null
done
