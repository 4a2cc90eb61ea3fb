#!/usr/bin/env bash
# Installs the Debian packages the build, tests, demo and pictures need, only those missing, and
# the page's browser driver from the npm registry (tests/browser, pinned by its package-lock.json).
# The pictures' fonts: DejaVu (the stand-in faces, with Latin, Greek and Cyrillic), and for the
# letters it lacks a small CJK font (5 MB, with Hangul and kana) and an outline emoji font.
# Idempotent; uses sudo only when not root. The fuzz and sanitizer runtime is the one of the
# installed clang (libclang-rt-N-dev, N its major version), so this works on every Debian release.
set -euo pipefail

packages=(
  cmake ninja-build g++ make
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64
  libcairo2-dev fonts-dejavu-core fonts-dejavu-extra
  fonts-wqy-microhei fonts-symbola
  clang clang-format valgrind gcovr zip unzip
  emscripten chromium firefox-esr python3-fonttools apngasm
)

updated=no
# install PACKAGE...: installs those not installed yet.
install() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "deps: installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  if [ "$updated" = no ]; then
    $sudo apt-get update -qq
    updated=yes
  fi
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install "${packages[@]}"
clang_major=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n 1)
[ -n "$clang_major" ] || { echo "deps: cannot tell the version of clang" >&2; exit 1; }
install "libclang-rt-$clang_major-dev"

# Node and npm: Debian's packages, unless a node with its own npm is there already (a node from
# elsewhere ships npm inside its package, which Debian's npm would conflict with).
command -v node >/dev/null || install nodejs
command -v npm >/dev/null || install npm

# The browser driver (puppeteer-core) for the page's tests and screenshot, installed afresh when
# node_modules is missing or was installed from another lock file. It drives the system's Chromium
# and Firefox ESR: nothing downloads a browser.
browser_dir=$(cd "$(dirname "$0")/../tests/browser" && pwd)
if ! cmp -s "$browser_dir/package-lock.json" "$browser_dir/node_modules/.installed-lock.json"; then
  echo "deps: npm ci in tests/browser"
  (cd "$browser_dir" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
  cp "$browser_dir/package-lock.json" "$browser_dir/node_modules/.installed-lock.json"
fi
