#!/usr/bin/env bash
# Writes pictures of the preset dialog and of every tab page of the desktop
# program to docs/screenshots/, on Qt's offscreen platform (no display
# needed). Builds vellora-brindo first, in BUILD_DIR (default: build).
#
#   scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
if [ ! -f "$build_dir/build.ninja" ] && [ ! -f "$build_dir/Makefile" ]; then
  cmake -S . -B "$build_dir" -G Ninja
fi
cmake --build "$build_dir" --target vellora-brindo

# The program draws with DejaVu Sans Condensed where it is installed.
if ! fc-list 2>/dev/null | grep -i "DejaVu Sans" >/dev/null; then
  echo "warning: no DejaVu font found; install fonts-dejavu-core and fonts-dejavu-extra" >&2
fi

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
"$build_dir/bin/vellora-brindo" --screenshot docs/screenshots --sample data/sample-site
