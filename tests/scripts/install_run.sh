#!/usr/bin/env bash
# The installed program: installs the build into a temporary DESTDIR under
# the prefix /usr and takes the installed vellora through a whole run over a
# local web server, with a temporary XDG_DATA_HOME. Checks that the default
# texts come from share/vellora-brindo/, that presets are created under the
# data folder (and under ~/.local/share without XDG_DATA_HOME), that nothing
# is written beside the installed program, that the desktop entry is valid,
# the icons have their sizes, the manual pages format without warnings and
# list every field, and that the bash completion offers steps, fields and
# presets.
# Usage: install_run.sh BIN_DIR SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/script_test.bash"
bin=$1
src=$2
build=$(cd "$bin/.." && pwd)
make_scratch
fail() { echo "FAIL: $*" >&2; exit 1; }

root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log"
usr=$root/usr
vellora=$usr/bin/vellora
[ -x "$vellora" ] || fail "no vellora in $usr/bin"
for text in ini_excludeexact.txt ini_excludecontain.txt ini_templates.txt ini_template.htm \
  ini_index.htm; do
  [ -f "$usr/share/vellora-brindo/$text" ] || fail "$text is not in share/vellora-brindo"
  [ ! -e "$usr/bin/$text" ] || fail "$text was installed beside the program"
done

# A local server with the sample site, stopped by the script and by itself.
mkdir -p "$work/www"
cp "$src"/data/sample-site/*.html "$work/www/"
serve_folder "$work/www"
: >"$work/urls.txt"
for f in "$work"/www/*.html; do echo "http://127.0.0.1:$port/$(basename "$f")" >>"$work/urls.txt"; done

export HOME=$work/home XDG_DATA_HOME=$work/data
mkdir -p "$HOME"
(cd "$work" && "$vellora" run --preset site --create --seed 11 --set "urls2grab=@$work/urls.txt" \
  --set "eresfolder=$work/site" --set "edataurl=http://example.org/site/" \
  grab extract phrases generate save) >"$work/run.out" 2>"$work/run.err" ||
  fail "the installed run failed: $(cat "$work/run.err")"

preset=$XDG_DATA_HOME/vellora-brindo/Presets/site
[ -f "$preset/settings.ini" ] || fail "no preset under XDG_DATA_HOME"
[ -f "$preset/Files/zarngrab#1.htm" ] || fail "the grab did not fill the working folder"
cmp -s "$preset/templates.txt" "$usr/share/vellora-brindo/ini_templates.txt" ||
  fail "the new preset's templates are not the default text from share/"
cmp -s "$preset/indexpage.txt" "$usr/share/vellora-brindo/ini_index.htm" ||
  fail "the new preset's index page is not the default text from share/"
[ -s "$work/site/index.htm" ] && [ -s "$work/site/sitemap.xml" ] || fail "no site was written"
[ ! -e "$usr/bin/Presets" ] || fail "a Presets folder appeared beside the installed program"
[ "$("$vellora" presets)" = site ] || fail "presets does not list the data folder's presets"

# Without XDG_DATA_HOME the data folder is ~/.local/share.
env -u XDG_DATA_HOME "$vellora" run --preset other --create >/dev/null ||
  fail "a run without XDG_DATA_HOME failed"
[ -d "$HOME/.local/share/vellora-brindo/Presets/other/Files" ] ||
  fail "no preset under ~/.local/share without XDG_DATA_HOME"

# The manual pages: no formatter warnings, and every field in vellora(1).
man1=$usr/share/man/man1
[ -f "$man1/vellora.1.gz" ] || fail "no vellora(1)"
for page in "$man1"/*.1.gz; do
  MANWIDTH=80 man --warnings -l "$page" >"$work/page.txt" 2>"$work/man.err" ||
    fail "man $page failed"
  [ ! -s "$work/man.err" ] || fail "man warns about $page: $(cat "$work/man.err")"
  [ -s "$work/page.txt" ] || fail "$page formats to nothing"
done
fields=$("$vellora" fields | cut -f1)
[ -n "$fields" ] || fail "vellora fields lists nothing"
for field in $fields; do
  zcat "$man1/vellora.1.gz" | grep -x "\.B $field" >/dev/null || fail "vellora(1) does not list $field"
done

# The desktop program's files, when it was built.
if [ -x "$usr/bin/vellora-brindo" ]; then
  [ -f "$man1/vellora-brindo.1.gz" ] || fail "no vellora-brindo(1)"
  desktop-file-validate "$usr/share/applications/vellora-brindo.desktop" ||
    fail "the desktop entry is not valid"
  icons=$usr/share/icons/hicolor
  [ -f "$icons/scalable/apps/vellora-brindo.svg" ] || fail "no scalable icon"
  for size in 16 32 48 256; do
    file "$icons/${size}x${size}/apps/vellora-brindo.png" | grep "PNG image data, $size x $size" >/dev/null ||
      fail "the ${size}x${size} icon is missing or not of that size"
  done
else
  echo "the desktop program was not built: its entry, icons and page are not checked"
fi

# The bash completion, driven as bash drives it.
complete_words() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
           _vellora; printf "%s\n" "${COMPREPLY[@]}"' _ \
    "$usr/share/bash-completion/completions/vellora" "$@"
}
PATH=$usr/bin:$PATH
# offers WORD ARG...: the completion of the words ARG... offers WORD.
offers() {
  local want=$1 offered
  shift
  offered=$(cd "$work" && complete_words "$@")
  grep -qx -- "$want" <<<"$offered"
}
offers run vellora "" || fail "completion offers no commands"
offers generate vellora run --preset site gen || fail "completion offers no steps"
offers minwordrate= vellora run --set minword || fail "completion offers no settable fields"
offers words= vellora run --set wor && fail "completion offers a field --set refuses"
offers words vellora run --dump wor || fail "completion offers no dump fields"
offers site vellora run --preset s || fail "completion offers no presets"
offers @urls.txt vellora run --set urls2grab = @url || fail "completion offers no files after @"
echo "installed run: presets in the data folder, texts from share/, pages and completion checked"
