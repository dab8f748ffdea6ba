#!/usr/bin/env bash
# Installs the MinGW-w64 cross compilers, zlib and Wine from Debian, and
# builds a static libpng for each Windows architecture into
# build/deps/<arch>, which the mingw presets search. Safe to run again: it
# does only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

packages=(
  cmake make
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine32:i386 wine64 xvfb xauth dpkg-dev googletest
)

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  # wine32 is an i386 package.
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo_cmd[@]}" dpkg --add-architecture i386
  # A mirror caught mid-sync fails one index ("Mirror sync in progress?"),
  # seen for the security suite's i386 list: its amd64 packages are then
  # newer than any i386 one apt can see, and multiarch wants both at one
  # version. The release's own versions agree on both architectures.
  release=()
  if ! "${sudo_cmd[@]}" apt-get update -qq; then
    release=(-t "$(. /etc/os-release && echo "$VERSION_CODENAME")")
    echo "An index failed to update: installing the release's versions (${release[*]})"
  fi
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${release[@]}" \
    "${missing[@]}"
fi

# Debian ships no MinGW libpng; its own source package cross-builds cleanly.
libpng_version=1.6.39
deps=$root/build/deps
source_dir=$deps/src/libpng1.6-$libpng_version

needs_libpng=0
for arch in i686 x86_64; do
  [ -f "$deps/$arch/lib/libpng.a" ] || needs_libpng=1
done
[ $needs_libpng -eq 0 ] && exit 0

if [ ! -d "$source_dir" ]; then
  source_list=/etc/apt/sources.list.d/debian-src.sources
  if [ ! -f "$source_list" ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      "${sudo_cmd[@]}" tee "$source_list" >/dev/null
    # As above, a failed index need not stop us: the source is the release's.
    "${sudo_cmd[@]}" apt-get update -qq || echo "An index failed to update; fetching the release's source"
  fi
  mkdir -p "$deps/src"
  # Pinned to the release: the security suite's .dsc can be missing.
  (cd "$deps/src" && apt-get source -qq "libpng1.6/bookworm")
fi

for arch in i686 x86_64; do
  [ -f "$deps/$arch/lib/libpng.a" ] && continue
  echo "Building libpng $libpng_version for $arch"
  cmake -S "$source_dir" -B "$deps/build-png-$arch" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/$arch" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_LIBRARY="/usr/$arch-w64-mingw32/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="/usr/$arch-w64-mingw32/include" >/dev/null
  cmake --build "$deps/build-png-$arch" -j2 >/dev/null
  cmake --install "$deps/build-png-$arch" >/dev/null
done
