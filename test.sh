#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every
# test: the core, the command, the desktop program offscreen, the core tests
# again under AddressSanitizer and UndefinedBehaviorSanitizer, and a short
# run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVB_WERROR=ON -DVB_BUILD_GUI=ON
cmake --build build -j "$jobs"
# A run without the desktop program's tests is no pass. grep reads the whole
# list: with -q it stops at the first match, ctest then dies of SIGPIPE on its
# next line, and pipefail makes that a failure.
if ! ctest --test-dir build -N -L gui | grep "Test *#" >/dev/null; then
  echo "test.sh: the desktop program's tests are not in the build (no gui tests listed)" >&2
  exit 1
fi
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVB_SANITIZE=ON -DVB_WERROR=ON \
      -DVB_BUILD_GUI=OFF
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize -L core --output-on-failure -j "$jobs"

# The fuzz targets (fuzz/), built with clang, libFuzzer and the sanitizers:
# each runs over its seed corpus, which keeps every input a finding came
# from, then on new inputs for VB_FUZZ_SECONDS (default 20) seconds.
fuzz_work=$(mktemp -d)
trap 'rm -rf "$fuzz_work"' EXIT
FUZZ_WORK=$fuzz_work scripts/fuzz.sh "${VB_FUZZ_SECONDS:-20}"
