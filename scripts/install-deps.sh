#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when missing.
set -euo pipefail
pkgs=(cmake ninja-build g++ make pkg-config python3
      libgtest-dev libgmock-dev libbenchmark-dev
      libembree-dev libassimp-dev assimp-testmodels
      libpng-dev libjpeg-dev libopenexr-dev
      clang libclang-rt-14-dev
      libfreetype-dev fonts-liberation libx11-dev xvfb)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing missing packages: ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
