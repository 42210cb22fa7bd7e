#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package/, then
# cpack -G DEB. The package lands in build-package/, e.g.
# build-package/vellora-brindo_1.00_amd64.deb; install it with
#   sudo apt install ./build-package/vellora-brindo_1.00_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Debian's hardening flags, as its own packages are built with them.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DVB_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now" >/dev/null
cmake --build build-package -j "$(nproc)"
(cd build-package && cpack -G DEB)
ls build-package/*.deb
