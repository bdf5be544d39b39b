#!/usr/bin/env bash
# Signing a setup as a release engineer does, with a throwaway CA made here.
# usage: sign-test.sh ROOT ZBPACK WIN64_BUILD
# - keys and certificates that cannot be used are refused (exit 2, a message, nothing written);
# - a setup packed with --sign-pkcs12 --sign-payload verifies against the CA, and so does every
#   program and control packed inside it; one flipped byte of the payload resource breaks it;
# - the same inputs packed and signed twice at the same time give the same bytes, and so does
#   signing one unsigned setup twice.
set -u
root=$1
export ZBPACK=$2
win64=$3
package=$root/scripts/package
signer=$root/scripts/sign-setup
work=$(mktemp -d /tmp/zb-sign-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
. "$root/tests/tools/test-lib.sh"

setup=$win64/ZarBelPC-Setup-x64.exe
[ -f "$setup" ] || { echo "FAIL: no $setup (build the mingw64 preset)"; exit 1; }
ca=$work/ca
bash "$root/tests/release/make-test-ca.sh" "$ca" || { echo "FAIL: cannot make the test CA"; exit 1; }
p12=(--sign-pkcs12 "$ca/signer.p12" --sign-password-file "$ca/password.txt")
now=$(date +%s)

# --- refusals ---------------------------------------------------------------------------------
# A payload with every file the installation needs; the refusals come before any build.
full=$work/full
required_payload "$full"
echo "wrong password" >"$work/wrong.txt"
out=$work/refused.exe
# refused DESCRIPTION MESSAGE SIGNING-OPTIONS...
refused() {
    local what=$1 message=$2
    shift 2
    "$package" --payload "$full" --arch x86_64 --out "$out" "$@" >"$work/out" 2>"$work/err"
    local got=$?
    [ "$got" -eq 2 ] || fail "$what: exit $got, want 2: $(cat "$work/err")"
    grep -qF -- "$message" "$work/err" || fail "$what: no '$message' in: $(cat "$work/err")"
    [ ! -e "$out" ] || fail "$what: $out was written"
    ! grep -q "inputs ok" "$work/err" || fail "$what: went on to the inputs"
}
refused "missing PKCS#12" "does not exist or cannot be read" --sign-pkcs12 "$work/none.p12"
refused "missing key" "does not exist or cannot be read" --sign-cert "$ca/signer.pem" \
    --sign-key "$work/none.key"
refused "no key for the certificate" "--sign-cert needs --sign-key" --sign-cert "$ca/signer.pem"
refused "wrong password" "wrong password" --sign-pkcs12 "$ca/signer.p12" \
    --sign-password-file "$work/wrong.txt"
refused "no password" "wrong password" --sign-pkcs12 "$ca/signer.p12"
refused "key of another certificate" "does not match the key" --sign-cert "$ca/signer.pem" \
    --sign-key "$ca/other.key"
refused "expired certificate" "has expired" --sign-cert "$ca/expired.pem" \
    --sign-key "$ca/expired.key"
refused "not a certificate" "is not a PEM certificate" --sign-cert "$ca/password.txt" \
    --sign-key "$ca/signer.key"
refused "payload signing without a key" "--sign-payload needs a key" --sign-payload
refused "signing time before the certificate" "lies before the certificate's validity" \
    "${p12[@]}" --sign-time 1000000000

# --- one signed setup, packed twice ------------------------------------------------------------
for copy in packed packed-again; do
    "$package" --payload "$win64/payload-staging" --arch x86_64 --out "$work/$copy.exe" \
        --stub "$win64/ZarBelPC-Setup-stub-x64.exe" "${p12[@]}" --sign-time "$now" \
        --sign-payload >"$work/out" 2>"$work/err" || fail "packing a signed setup: $(tail -5 "$work/err")"
done
cmp -s "$work/packed.exe" "$work/packed-again.exe" ||
    fail "two signed setups of the same inputs and signing time differ"

verify() {  # verify FILE: osslsigncode verify against the test CA, output in $work/verify.txt
    osslsigncode verify -CAfile "$ca/ca.pem" -in "$1" >"$work/verify.txt" 2>&1
}
if verify "$work/packed.exe"; then
    cp "$work/verify.txt" "$work/verify-packed.txt"
    grep -q "Signature verification: ok" "$work/verify.txt" || fail "no 'ok' in: $(cat "$work/verify.txt")"
    grep -q "Text description: ZarBelPC Setup" "$work/verify.txt" || fail "program name: $(cat "$work/verify.txt")"
    grep -q "URL description: https://www.zarbelpc.example/" "$work/verify.txt" || fail "web address: $(cat "$work/verify.txt")"
    grep -qi "sha256" "$work/verify.txt" || fail "not SHA-256: $(cat "$work/verify.txt")"
else
    fail "the packed setup does not verify: $(cat "$work/verify.txt")"
fi
# Another CA does not vouch for it.
bash "$root/tests/release/make-test-ca.sh" "$work/stranger" >/dev/null 2>&1
osslsigncode verify -CAfile "$work/stranger/ca.pem" -in "$work/packed.exe" >/dev/null 2>&1 &&
    fail "the setup verifies against a CA that did not issue its certificate"

# The programs and controls inside were signed before packing: each one, signed here at the same
# time, verifies and lies in the setup byte for byte.
contains() {  # contains BIG SMALL: SMALL's bytes are somewhere in BIG
    perl -e 'local $/; open my $b, "<:raw", $ARGV[0] or die; open my $s, "<:raw", $ARGV[1] or die;
        my ($big, $small) = (<$b>, <$s>); exit(index($big, $small) < 0 ? 1 : 0);' "$1" "$2"
}
pe=0
mkdir "$work/inside"
for file in "$win64/payload-staging"/*; do
    name=${file##*/}
    case ${name,,} in
    *.exe | *.dll | *.ocx) [ "$(head -c 2 "$file")" = MZ ] || continue ;;
    *) continue ;;
    esac
    pe=$((pe + 1))
    "$signer" "${p12[@]}" --time "$now" --name "${name%.*}" "$file" "$work/inside/$name" 2>/dev/null ||
        fail "cannot sign $name here"
    verify "$work/inside/$name" || fail "the payload's $name does not verify: $(cat "$work/verify.txt")"
    contains "$work/packed.exe" "$work/inside/$name" || fail "the setup does not carry $name signed"
done
[ "$pe" -gt 8 ] || fail "only $pe programs and controls in the payload"

# The signature covers the payload resource: one byte flipped in the middle of it.
# The font is a data file of the payload, packed as it is: a byte in the middle of it.
offset=$(perl -e 'local $/; open my $e, "<:raw", $ARGV[0] or die; open my $a, "<:raw", $ARGV[1] or die;
    my ($exe, $dat) = (<$e>, <$a>); my $at = index($exe, $dat);
    print $at < 0 ? -1 : $at + int(length($dat) / 2);' "$work/packed.exe" "$win64/payload-staging/eurostib.TTF")
if [ "$offset" -lt 0 ]; then
    fail "the payload resource is not in the packed setup"
else
    cp "$work/packed.exe" "$work/flipped.exe"
    byte=$(od -An -tu1 -j "$offset" -N1 "$work/flipped.exe" | tr -d ' ')
    printf "$(printf '\\%03o' $((byte ^ 1)))" |
        dd of="$work/flipped.exe" bs=1 seek="$offset" conv=notrunc status=none
    cmp -s "$work/packed.exe" "$work/flipped.exe" && fail "the byte was not flipped"
    if verify "$work/flipped.exe"; then
        fail "a setup with a flipped payload byte still verifies"
    else
        cp "$work/verify.txt" "$work/verify-flipped.txt"
        grep -qi "mismatch\|failed" "$work/verify.txt" ||
            fail "no mismatch reported: $(cat "$work/verify.txt")"
    fi
fi

# --- the same bytes ----------------------------------------------------------------------------
# The unsigned setup of the same inputs, signed twice at the same time: the same bytes. PEM files
# give a signature that verifies as well.
"$package" --payload "$win64/payload-staging" --arch x86_64 --out "$work/unsigned.exe" \
    --stub "$win64/ZarBelPC-Setup-stub-x64.exe" >"$work/out" 2>"$work/err" ||
    fail "packing the unsigned setup: $(tail -5 "$work/err")"
"$signer" "${p12[@]}" --time "$now" "$work/unsigned.exe" "$work/again1.exe" 2>"$work/err" ||
    fail "signing again: $(cat "$work/err")"
"$signer" "${p12[@]}" --time "$now" "$work/unsigned.exe" "$work/again2.exe" 2>"$work/err" ||
    fail "signing a third time: $(cat "$work/err")"
cmp -s "$work/again1.exe" "$work/again2.exe" || fail "two signings at the same time differ"
"$signer" --sign-cert "$ca/signer.pem" --sign-key "$ca/signer.key" --time "$now" "$setup" \
    "$work/pem.exe" 2>"$work/err" || fail "signing with PEM files: $(cat "$work/err")"
verify "$work/pem.exe" || fail "the PEM-signed setup does not verify: $(cat "$work/verify.txt")"
sha256sum "$work/packed.exe" "$work/packed-again.exe" "$work/again1.exe" "$work/again2.exe" | sed "s|$work/||"

if [ "$failures" -eq 0 ]; then
    sed -n '/Current message\|Calculated message\|Signature verification\|Text description\|URL description\|Signing time\|Subject: /p' \
        "$work/verify-packed.txt"
    sed -n '/mismatch\|failed/Ip' "$work/verify-flipped.txt" | head -3 | sed 's/^/flipped byte: /'
    echo "sign-test: all checks passed"
fi
[ "$failures" -eq 0 ]
