#!/usr/bin/env bash
# Installs the Debian 12 packages one use of the checkout needs, skipping
# those already present. Uses sudo when not run as root.
#   install-deps.sh run    what building and opening the window needs
#   install-deps.sh test   what the build, the tests and the benchmarks need
#                          (the default)
#   install-deps.sh windows  the MinGW-w64 cross compiler and Wine, for the
#                          Windows build of karsidan-cli and its tests
set -euo pipefail

mode=${1:-test}
build=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-svg-dev           # the build renders the installed SVG icon
)
case "$mode" in
  run)
    packages=("${build[@]}"
      qt6-qpa-plugins       # the window's platform plugins (X11, Wayland)
      fonts-liberation      # metric twins of Arial and Courier New
    )
    ;;
  test)
    packages=("${build[@]}"
      libgtest-dev libgmock-dev libbenchmark-dev
      libssl-dev            # OpenSSL's des-ede3, the benchmarks' yardstick
      openssl               # independent Triple DES for the command-line tests
      fonts-dejavu-core     # a face for the offscreen widget tests
      clang-format          # the format check (clang-format 14)
      valgrind              # the constant-time test (memcheck) and its client-request header
      # The install test's validators and the package test's tools.
      desktop-file-utils appstream man-db groff-base lintian dpkg-dev
      xvfb xauth x11-utils  # the install test opens the window under Xvfb
    )
    ;;
  windows)
    packages=(
      g++-mingw-w64-x86-64-posix  # posix threads: std::thread, std::jthread
      wine wine64           # runs the Windows programs, no display needed
      googletest            # GoogleTest's sources, built with MinGW
      cmake ninja-build
    )
    ;;
  *)
    echo "Pemakaian: install-deps.sh [run|test|windows]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Memasang paket: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
