#!/usr/bin/env bash
# The whole road: a local web server serves real pages; "vellora run" grabs
# them, extracts, makes phrases, generates and saves a site. Checks that the
# grabbed files are byte-identical to the served ones and that the site has
# its pages, its index and a well-formed sitemap listing them all. Then the
# same road over HTTPS (a private nginx with a test authority), with three
# downloads at once: the same files and the same site.
# Usage: end_to_end.sh BIN_DIR SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/script_test.bash"
bin=$1
src=$2
make_scratch

mkdir -p "$work/www"
cp "$src"/data/sample-site/*.html "$work/www/"
serve_folder "$work/www"

pages=()
: >"$work/urls.txt"
for f in "$work"/www/*.html; do
  pages+=("$(basename "$f")")
  echo "http://127.0.0.1:$port/$(basename "$f")" >>"$work/urls.txt"
done

"$bin/vellora" run --presets "$work/P" --preset e2e --create --seed 7 \
  --set "urls2grab=@$work/urls.txt" --set "eresfolder=$work/site" \
  --set "edataurl=http://example.org/site" \
  grab extract phrases generate save --dump filelist --dump edataurl >"$work/dump.txt"

fail() { echo "FAIL: $*" >&2; exit 1; }

n=1
for page in "${pages[@]}"; do
  cmp -s "$work/www/$page" "$work/P/e2e/Files/zarngrab#$n.htm" || fail "zarngrab#$n.htm differs from $page"
  n=$((n + 1))
done

[ -s "$work/site/index.htm" ] || fail "no index page"
grep -q "http://example.org/site/$" "$work/dump.txt" || fail "edataurl did not gain its slash"
rows=$(grep -c $'\t' "$work/dump.txt" || true)
[ "$rows" -gt 0 ] || fail "no pages were generated"

python3 - "$work/site" "$work/dump.txt" <<'PY'
import sys, os, xml.etree.ElementTree as ET
site, dump = sys.argv[1], sys.argv[2]
names = [line.split("\t")[0] for line in open(dump, encoding="latin-1") if "\t" in line]
for name in names:
    assert os.path.isfile(os.path.join(site, name)), "missing page " + name
ns = "{http://www.sitemaps.org/schemas/sitemap/0.9}"
root = ET.parse(os.path.join(site, "sitemap.xml")).getroot()
assert root.tag == ns + "urlset", root.tag
locs = [u.find(ns + "loc").text for u in root.findall(ns + "url")]
want = ["http://example.org/site/index.htm"] + ["http://example.org/site/" + n for n in names]
assert locs == want, (locs, want)
for u in root.findall(ns + "url"):
    assert u.find(ns + "priority").text == "0.5"
print("end to end: %d pages, sitemap with %d entries" % (len(names), len(locs)))
PY

# Over HTTPS: the same pages from nginx with TLS, three at a time.
read -r tls_port _ tls_pid < <("$src/scripts/tls-site.sh" "$work/www" "$work/tls" 300)
trap 'kill "$tls_pid" 2>/dev/null; [ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
: >"$work/https-urls.txt"
for page in "${pages[@]}"; do
  echo "https://localhost:$tls_port/$page" >>"$work/https-urls.txt"
done
SSL_CERT_FILE="$work/tls/certs/ca.pem" "$bin/vellora" run --presets "$work/P" --preset e2e-https \
  --create --seed 7 --set allowhttps=1 --set grabconnections=3 \
  --set "urls2grab=@$work/https-urls.txt" --set "eresfolder=$work/site-https" \
  --set "edataurl=http://example.org/site" \
  grab extract phrases generate save --dump filelist --dump edataurl >"$work/dump-https.txt"
n=1
for page in "${pages[@]}"; do
  cmp -s "$work/www/$page" "$work/P/e2e-https/Files/zarngrab#$n.htm" ||
    fail "zarngrab#$n.htm over https differs from $page"
  n=$((n + 1))
done
cmp -s "$work/dump.txt" "$work/dump-https.txt" || fail "the https run made another site"
for file in "$work"/site/*; do
  cmp -s "$file" "$work/site-https/$(basename "$file")" || fail "$(basename "$file") differs over https"
done
echo "end to end over https: ${#pages[@]} pages byte-identical, the same site"
