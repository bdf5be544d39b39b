#!/usr/bin/env bash
# A throwaway certificate authority and what the signing tests sign with, in folder DIR:
#   ca.pem                    the CA's certificate (what a verifier trusts)
#   signer.pem, signer.key    a code-signing certificate issued by the CA, and its key
#   signer.p12, password.txt  the same in a PKCS#12 file, with its password
#   expired.pem, expired.key  a code-signing certificate of the CA that expired yesterday
#   other.key                 a key that belongs to no certificate
# usage: make-test-ca.sh DIR
set -euo pipefail
dir=$1
mkdir -p "$dir"
cd "$dir"
quiet() { "$@" >/dev/null 2>&1 || { echo "make-test-ca: failed: $*" >&2; "$@"; exit 1; }; }
key() { quiet openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$1"; }

key ca.key
quiet openssl req -x509 -new -key ca.key -sha256 -days 30 -subj "/CN=ZarBelPC Test CA" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -out ca.pem
# openssl ca: the only way this openssl sets a validity that starts or ends in the past.
mkdir -p issued
: >index.txt
echo 1000 >serial.txt
cat >ca.cnf <<'CNF'
[ca]
default_ca = test_ca
[test_ca]
database = index.txt
new_certs_dir = issued
serial = serial.txt
certificate = ca.pem
private_key = ca.key
default_md = sha256
policy = anything
unique_subject = no
copy_extensions = none
x509_extensions = code_signing
[anything]
commonName = supplied
organizationName = optional
[code_signing]
basicConstraints = critical,CA:FALSE
keyUsage = critical,digitalSignature
extendedKeyUsage = codeSigning
CNF
# issue NAME DAYS-BEFORE-NOW DAYS-FROM-NOW
issue() {
    key "$1.key"
    quiet openssl req -new -key "$1.key" -subj "/CN=ZarBelPC Test Signer $1/O=ZarBelPC" -out "$1.csr"
    quiet openssl ca -batch -config ca.cnf -notext -in "$1.csr" \
        -startdate "$(date -u -d "$2 days ago" +%Y%m%d%H%M%SZ)" \
        -enddate "$(date -u -d "$3 days" +%Y%m%d%H%M%SZ)" -out "$1.pem"
}
issue signer 1 30
issue expired 10 -1
key other.key
echo "test password" >password.txt
quiet openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem \
    -passout file:password.txt -name "ZarBelPC Test Signer" -out signer.p12
