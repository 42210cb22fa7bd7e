#!/bin/bash
# Makes a private certificate authority and server certificates in DIR, for
# the HTTPS tests, the benchmark and the local TLS site:
#   ca.pem                      the authority (trust it with SSL_CERT_FILE=DIR/ca.pem)
#   localhost.{pem,key}         valid for localhost and 127.0.0.1
#   other.{pem,key}             valid for other.example only
#   expired.{pem,key}           for localhost and 127.0.0.1, expired in 2021
#   selfsigned.{pem,key}        for localhost and 127.0.0.1, signed by itself
# Keys are P-256 (quick to make). Usage: scripts/tls-certs.sh DIR
set -euo pipefail
dir=${1:?usage: tls-certs.sh DIR}
mkdir -p "$dir"
cd "$dir"
ssl() { openssl "$@" 2>/dev/null; }
key() { ssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1"; }

key ca.key
ssl req -x509 -new -key ca.key -subj "/CN=Vellora Test CA" -days 30 -out ca.pem \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"

# Signs NAME.csr with the authority; the rest are extra "openssl ca" options.
mkdir -p ca-db
: > ca-db/index.txt
cat > ca-db/ca.cnf <<CNF
[ca]
default_ca = test_ca
[test_ca]
dir = $PWD/ca-db
database = \$dir/index.txt
new_certs_dir = \$dir
serial = \$dir/serial
certificate = $PWD/ca.pem
private_key = $PWD/ca.key
default_md = sha256
policy = anything
unique_subject = no
copy_extensions = copy
[anything]
commonName = supplied
CNF
sign() {
  local name=$1
  shift
  openssl rand -hex 8 > ca-db/serial
  ssl ca -batch -config ca-db/ca.cnf -notext -in "$name.csr" -out "$name.pem" "$@"
  rm -f "$name.csr"
}
request() {  # NAME SUBJECT-ALT-NAMES
  key "$1.key"
  ssl req -new -key "$1.key" -subj "/CN=$1" -addext "subjectAltName=$2" -out "$1.csr"
}

request localhost "DNS:localhost,IP:127.0.0.1"
sign localhost -days 30
request other "DNS:other.example"
sign other -days 30
request expired "DNS:localhost,IP:127.0.0.1"
sign expired -startdate 20200101000000Z -enddate 20210101000000Z
key selfsigned.key
ssl req -x509 -new -key selfsigned.key -subj "/CN=localhost" -days 30 -out selfsigned.pem \
  -addext "subjectAltName=DNS:localhost,IP:127.0.0.1"
rm -rf ca-db
