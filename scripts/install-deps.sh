#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need,
# only when one of them is missing. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  qt6-base-dev libgl-dev qt6-qpa-plugins fonts-dejavu-core fonts-dejavu-extra
  nginx curl python3
  libpcre2-dev
  clang libclang-rt-dev llvm ccache
  libicu-dev libxml2-dev python3-readability
  libssl-dev openssl ca-certificates
  qt6-charts-dev libqt6opengl6-dev
  dpkg-dev lintian desktop-file-utils man-db groff-base file gzip librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep "install ok installed" >/dev/null; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
