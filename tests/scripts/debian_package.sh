#!/usr/bin/env bash
# The Debian package: builds the .deb from this build tree with CPack into a
# temporary folder, checks its control fields (Depends computed from the
# programs' shared libraries), its contents and their owners and modes,
# runs lintian (no errors allowed), then extracts it and runs the extracted
# vellora --version.
# Usage: debian_package.sh BIN_DIR SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/script_test.bash"
bin=$1
build=$(cd "$bin/.." && pwd)
make_scratch
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$work/cpack.log")"
deb=$work/vellora-brindo_1.00_amd64.deb
[ -f "$deb" ] || fail "no $deb: $(ls "$work")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vellora-brindo ] || fail "Package is $(field Package)"
[ "$(field Version)" = 1.00 ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Section)" = web ] || fail "Section is $(field Section)"
field Description | sed -n 2p | grep . >/dev/null || fail "no long description"
depends=$(field Depends)
for library in libc6 libstdc++6 libgcc-s1; do
  [[ ",$depends" == *", $library "* || ",$depends" == *",$library "* ]] ||
    fail "Depends lacks $library: $depends"
done

dpkg-deb -c "$deb" >"$work/contents"
has() { grep -q " \./usr/$1\$" "$work/contents" || fail "the package lacks /usr/$1"; }
has bin/vellora
for text in ini_excludeexact.txt ini_excludecontain.txt ini_templates.txt ini_template.htm \
  ini_index.htm; do
  has "share/vellora-brindo/$text"
done
has share/man/man1/vellora.1.gz
has share/bash-completion/completions/vellora
has share/doc/vellora-brindo/copyright
has share/doc/vellora-brindo/changelog.gz
if grep -q " \./usr/bin/vellora-brindo\$" "$work/contents"; then
  has share/applications/vellora-brindo.desktop
  has share/icons/hicolor/scalable/apps/vellora-brindo.svg
  has share/icons/hicolor/48x48/apps/vellora-brindo.png
  has share/man/man1/vellora-brindo.1.gz
  [[ $depends == *libqt6widgets6* ]] || fail "Depends lacks the Qt widgets library: $depends"
fi
# Everything belongs to root; programs and folders are 0755, other files 0644.
awk '$2 != "root/root" { print "owner: " $0 }
     /^d/ && $1 != "drwxr-xr-x" { print "mode: " $0 }
     /^-/ && $6 ~ /\/bin\// && $1 != "-rwxr-xr-x" { print "mode: " $0 }
     /^-/ && $6 !~ /\/bin\// && $1 != "-rw-r--r--" { print "mode: " $0 }' "$work/contents" \
  >"$work/bad"
[ ! -s "$work/bad" ] || fail "wrong owners or modes: $(cat "$work/bad")"

lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
  fail "lintian reports errors: $(cat "$work/lintian.log")"
grep -q "^E:" "$work/lintian.log" && fail "lintian reports errors: $(cat "$work/lintian.log")"

dpkg-deb -x "$deb" "$work/x"
version=$("$work/x/usr/bin/vellora" --version)
[ "$version" = "vellora 1.00 (080517)" ] || fail "the extracted vellora says: $version"
file "$work/x/usr/bin/vellora" | grep ", stripped" >/dev/null || fail "vellora is not stripped"
echo "debian package: $(wc -l <"$work/contents") entries, Depends: $depends"
if [ -s "$work/lintian.log" ]; then echo "lintian:"; cat "$work/lintian.log"; fi
