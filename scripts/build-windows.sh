#!/usr/bin/env bash
# Builds the Windows executable dist/sitedrain.exe: cross-compiled with
# MinGW-w64 (installed when missing), static, threads included.  The XML
# library is built for Windows from Debian's own source package (apt-get
# source; a deb-src entry for the archive the machine already uses is added
# when there is none) into build-windows/prefix, once; the headers of the
# TOML parser (site files) come from its source package into the same prefix.
#   scripts/build-windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

missing=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-x86-64)
command -v dpkg-source >/dev/null 2>&1 || missing+=(dpkg-dev)
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v make >/dev/null 2>&1 || missing+=(make)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

toolchain="$root/cmake/mingw-w64.cmake"
prefix="$root/build-windows/prefix"

# A deb-src twin of each entry of the release's own suite (the deb822
# stanzas and the one-line entries), unless source entries exist already.
add_deb_src() {
  if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return
  fi
  local codename
  codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
  local tmp
  tmp="$(mktemp)"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v suite="$codename" 'BEGIN { RS = ""; ORS = "\n\n" }
      $0 ~ ("Suites:[^\n]*[ ]" suite "([ \n]|$)") && /Types:[^\n]*deb/ {
        sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >>"$tmp"
  done
  if [ -s "$tmp" ]; then
    $sudo cp "$tmp" /etc/apt/sources.list.d/sitedrain-deb-src.sources
  else
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk -v suite="$codename" '$1 == "deb" && $0 ~ (" " suite " ") { $1 = "deb-src"; print }' >"$tmp"
    $sudo cp "$tmp" /etc/apt/sources.list.d/sitedrain-deb-src.list
  fi
  rm -f "$tmp"
  $sudo chmod 644 /etc/apt/sources.list.d/sitedrain-deb-src.*
  $sudo apt-get update -qq
}

# Debian's source package $1 unpacked into a new folder $work; $src is its
# source tree.  Fails (status 1) when the archive serves no source for it.
unpack_source() {
  add_deb_src
  work="$(mktemp -d)"
  (cd "$work" && apt-get source -qq "$1" >/dev/null 2>&1) || return 1
  src="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$1-*" | head -1)"
}

# The same, stopping the build when there is no source.
need_source() {
  unpack_source "$1" || {
    echo "apt-get source $1 failed" >&2
    exit 1
  }
}

if [ ! -f "$prefix/lib/cmake/pugixml/pugixml-config.cmake" ]; then
  need_source pugixml
  cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$work/build" -j2 >/dev/null
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
fi

# The TOML parser of the site file is header-only (nothing of it is compiled
# for Windows apart from sitedrain itself): its headers from Debian's source
# package into the same prefix; where the archive serves no source for it,
# the same headers of Debian's libtomlplusplus-dev.
if [ ! -f "$prefix/include/toml++/toml.h" ]; then
  mkdir -p "$prefix/include"
  if unpack_source tomlplusplus; then
    cp -r "$src/include/toml++" "$prefix/include/"
  else
    echo "apt-get source tomlplusplus failed: taking the headers of libtomlplusplus-dev" >&2
    if [ ! -f /usr/include/toml++/toml.h ]; then
      DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq libtomlplusplus-dev
    fi
    cp -r /usr/include/toml++ "$prefix/include/"
  fi
  rm -rf "$work"
fi

# sitedrain serve: the HTTP library is header-only in its upstream form,
# which Debian's source package holds (the Debian package splits it into a
# compiled library): httplib.h into the prefix.  The zip writer, libzip, and
# the zlib it compresses with are built for Windows from Debian's source
# packages, static, without the optional codecs and crypto.
if [ ! -f "$prefix/include/httplib.h" ]; then
  need_source cpp-httplib
  mkdir -p "$prefix/include"
  cp "$src/httplib.h" "$prefix/include/httplib.h"
  rm -rf "$work"
fi
if [ ! -f "$prefix/lib/libz.a" ]; then
  need_source zlib
  # The library's C files compiled as they are (Debian's source has no
  # Windows makefile).
  for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate \
    inftrees trees uncompr zutil; do
    x86_64-w64-mingw32-gcc-posix -O2 -c "$src/$f.c" -o "$work/$f.o"
  done
  mkdir -p "$prefix/lib" "$prefix/include"
  x86_64-w64-mingw32-ar rcs "$prefix/lib/libz.a" "$work"/*.o
  cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
  rm -rf "$work"
fi
if [ ! -f "$prefix/lib/cmake/libzip/libzip-config.cmake" ]; then
  need_source libzip
  cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DSITEDRAIN_WINDOWS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
    -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_GNUTLS=OFF \
    -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_COMMONCRYPTO=OFF \
    -DENABLE_WINDOWS_CRYPTO=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF \
    -DBUILD_DOC=OFF -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a" \
    -DCMAKE_INSTALL_PREFIX="$prefix" --no-warn-unused-cli >/dev/null
  cmake --build "$work/build" -j2 >/dev/null
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
fi

cmake -S . -B build-windows/sitedrain -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DSITEDRAIN_TESTS=OFF -DSITEDRAIN_WINDOWS_PREFIX="$prefix" \
  -DCMAKE_PREFIX_PATH="$prefix" -Dpugixml_DIR="$prefix/lib/cmake/pugixml" \
  -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a" \
  --no-warn-unused-cli >/dev/null
cmake --build build-windows/sitedrain -j2 --target sitedrain
mkdir -p dist
cp build-windows/sitedrain/sitedrain.exe dist/sitedrain.exe
echo "dist/sitedrain.exe"
