#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the demo need.
# Safe to run again; the README's commands and .ci/run both call it.
set -euo pipefail

packages=(
  g++ pkg-config cmake ninja-build clang-format ccache
  qt6-base-dev libcurl4-openssl-dev libpcre2-dev libarchive-dev zlib1g-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev libgumbo-dev
  # The prefix managers' YAML files (Bottles, Lutris).
  libyaml-cpp-dev
  fonts-dejavu-core tinyproxy dante-server microsocks gcab zip unzip python3
  gcc-mingw-w64-x86-64 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  gcc-mingw-w64-i686 g++-mingw-w64-i686 binutils-mingw-w64-i686
  # The Win32 platform tests: GoogleTest's sources built with MinGW-w64's POSIX thread model.
  googletest g++-mingw-w64-x86-64-posix
  # Wine's own DLLs are real PE files from outside the project: the version reader is checked
  # against them. Its loader (/usr/lib/wine/wine64) also runs the bridge to Total Commander's
  # window and the tests' stand-in for that window.
  wine64
  # The Windows build (tools/build-windows.sh): Debian's Qt host tools (moc, rcc, uic) for the
  # SDK's Qt, the icon drawn from its SVG, and the installer (tools/package-windows.sh).
  qt6-base-dev-tools librsvg2-bin nsis
  # Screenshots of the desktop program: a virtual display, xwd and the PNG conversion.
  xvfb x11-apps x11-utils imagemagick
  # The fuzz harnesses (tools/fuzz.sh) are built with clang and libFuzzer.
  clang-14 libfuzzer-14-dev
  # The Debian package: dpkg-shlibdeps (dpkg-dev, file) computes its dependencies; the checks of
  # the unpacked package validate the desktop entry, the metainfo, the manual pages and the
  # completion.
  dpkg-dev file appstream desktop-file-utils groff-base bash-completion
  # The daily check: its systemd user units are verified, its notification is tested on a
  # private session bus.
  systemd dbus-daemon
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  # An index that failed to download is reported and the others are used: the install below
  # fails by itself when a package it needs is not found.
  $sudo apt-get update || echo "$0: some package indexes were not updated" >&2
  # tinyproxy and dante try to start system services; the tests start their own instances.
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# 32-bit plugins are proven to load only by Debian's 32-bit Wine, which needs the i386
# architecture. A mirror whose i386 index is out of sync, or i386 libraries that do not match the
# installed ones, must not fail the build: the architecture is taken out again, and 32-bit
# plugins are then reported as "cannot check: no 32-bit Wine".
if ! installed wine32:i386; then
  added=false
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    added=true
  fi
  if ! { $sudo apt-get update && $sudo apt-get install -y --no-install-recommends wine32:i386; }; then
    echo "$0: wine32 could not be installed; 32-bit plugins cannot be checked" >&2
    if $added; then
      $sudo dpkg --remove-architecture i386 ||
        { $sudo apt-get purge -y '?installed?architecture(i386)' && $sudo dpkg --remove-architecture i386; } ||
        echo "$0: the i386 architecture could not be taken out again" >&2
      $sudo apt-get update || echo "$0: some package indexes were not updated" >&2
    fi
  fi
fi
