#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the benchmarks need,
# skipping those already present. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libssl-dev            # OpenSSL's des-ede3, the benchmarks' yardstick
  openssl               # independent Triple DES for the command-line tests
  fonts-dejavu-core     # a face for the offscreen widget tests
  valgrind              # the constant-time test (memcheck) and its client-request header
)
if [ "${1:-}" = "--gui" ]; then
  packages+=(qt6-qpa-plugins fonts-liberation)
fi

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
