#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test sitedrain:
# a C++ compiler, CMake, GoogleTest, the pugixml XML parser, the toml++ TOML parser, MPFR
# (tests only) and Valgrind (memcheck in CI; a build registers its fiber stacks with it).
# Sourced by the top-level scripts.
# With SITEDRAIN_DEPS_FUZZ=1 also clang and its libFuzzer runtime, for the
# fuzz targets (scripts/fuzz.sh).  With SITEDRAIN_DEPS_REPORT=1 also what the
# report tests use: the browser (chromium), GNU parallel, libpng and pdftotext, and the
# browser test of `sitedrain serve` (chromium-driver, python3-selenium).
set -euo pipefail
missing=()
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v make >/dev/null 2>&1 || missing+=(make)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -f /usr/include/pugixml.hpp ] || missing+=(libpugixml-dev)
[ -f /usr/include/toml++/toml.h ] || missing+=(libtomlplusplus-dev)  # site file reader
[ -f /usr/include/mpfr.h ] || missing+=(libmpfr-dev)  # reference of the maths tests
[ -f /usr/include/valgrind/valgrind.h ] || missing+=(valgrind)  # headers and memcheck
# sitedrain serve: the HTTP library, the zip writer and pkg-config to find them
[ -f /usr/include/httplib.h ] || missing+=(libcpp-httplib-dev)
[ -f /usr/include/zip.h ] || missing+=(libzip-dev)
command -v pkg-config >/dev/null 2>&1 || missing+=(pkg-config)
if [ "${SITEDRAIN_DEPS_FUZZ:-0}" = 1 ]; then
  command -v clang++ >/dev/null 2>&1 || missing+=(clang)
  ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 ||
    missing+=(libclang-rt-14-dev)
fi
if [ "${SITEDRAIN_DEPS_REPORT:-0}" = 1 ]; then
  command -v chromium >/dev/null 2>&1 || missing+=(chromium)
  command -v parallel >/dev/null 2>&1 || missing+=(parallel)
  [ -f /usr/include/png.h ] || missing+=(libpng-dev)
  command -v pdftotext >/dev/null 2>&1 || missing+=(poppler-utils)  # printed pages read back
  # the browser test of sitedrain serve: the driver and Debian's selenium
  command -v chromedriver >/dev/null 2>&1 || missing+=(chromium-driver)
  [ -d /usr/lib/python3/dist-packages/selenium ] || missing+=(python3-selenium)
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
