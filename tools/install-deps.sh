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
  # 32-bit plugins are proven to load only where Debian's wine32 is installed; it needs the i386
  # architecture, which this script does not add: one i386 index out of sync on the mirror would
  # make every apt-get update here fail. Without it they are reported as "cannot check".
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

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
# tinyproxy and dante try to start system services; the tests start their own instances.
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
