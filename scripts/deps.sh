#!/usr/bin/env bash
# Installs the Debian packages the build, tests, demo and pictures need, only those missing.
# Idempotent; uses sudo only when not root.
set -euo pipefail

packages=(
  cmake ninja-build g++ make
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64
  libcairo2-dev fonts-dejavu-core fonts-dejavu-extra
  clang libclang-rt-14-dev valgrind gcovr zip unzip
  emscripten chromium chromium-driver python3-selenium python3-fonttools
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
