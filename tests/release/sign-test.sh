#!/usr/bin/env bash
# Signing a setup as a release engineer does, with a throwaway CA made here.
# usage: sign-test.sh ROOT ZBPACK WIN64_BUILD
# - keys and certificates that cannot be used are refused (exit 2, a message, nothing written);
# - one setup packed with --sign-pkcs12 --sign-payload verifies against the CA, and so does every
#   program and control packed inside it; one flipped byte of the payload resource breaks it;
# - signing the same setup twice at the same time gives the same bytes, equal to the packed one.
set -u
root=$1
export ZBPACK=$2
win64=$3
package=$root/scripts/package
signer=$root/scripts/sign-setup
work=$(mktemp -d /tmp/zb-sign-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

setup=$win64/ZarBelPC-Setup-x64.exe
[ -f "$setup" ] || { echo "FAIL: no $setup (build the mingw64 preset)"; exit 1; }
ca=$work/ca
bash "$root/tests/release/make-test-ca.sh" "$ca" || { echo "FAIL: cannot make the test CA"; exit 1; }
p12=(--sign-pkcs12 "$ca/signer.p12" --sign-password-file "$ca/password.txt")
now=$(date +%s)

# --- refusals ---------------------------------------------------------------------------------
# A payload with every file the installation needs; the refusals come before any build.
full=$work/full
mkdir -p "$full"
for name in ZarBelPC.EXE ZarBelPC_UNINSTALL.exe ZARBELPC.INI MFC71.dll msvcr71.dll \
    eurostib.TTF COMDLG32.OCX MSCOMCTL.OCX MSCOMCT2.OCX TuneChooser.ocx TABCTL32.OCX \
    MSINET.OCX assocset.exe; do
    printf '%s' "$name" >"$full/$name"
done
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

# --- one signed setup, packed ------------------------------------------------------------------
"$package" --payload "$win64/payload-staging" --arch x86_64 --out "$work/packed.exe" \
    "${p12[@]}" --sign-time "$now" --sign-payload --keep-build >"$work/out" 2>"$work/err" ||
    fail "packing a signed setup: $(tail -5 "$work/err")"
build=$(sed -n 's/^package: build folder kept: //p' "$work/err")
[ -n "$build" ] && [ -d "$build" ] || fail "the build folder was not kept: $(cat "$work/err")"
trap 'rm -rf "$work" "$build"' EXIT

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

# The programs and controls inside were signed before packing; the data files were not touched.
archive=$build/resources/RESOURCE.DAT
mkdir "$work/inside"
"$ZBPACK" archive extract "$archive" "$work/inside" >/dev/null 2>&1 || fail "cannot unpack $archive"
pe=0
staged_pe=0
for file in "$win64/payload-staging"/*; do
    case ${file,,} in
    *.exe | *.dll | *.ocx) [ "$(head -c 2 "$file")" != MZ ] || staged_pe=$((staged_pe + 1)) ;;
    esac
done
for file in "$work/inside"/*; do
    name=${file##*/}
    case ${name,,} in
    *.exe | *.dll | *.ocx)
        pe=$((pe + 1))
        verify "$file" || fail "the payload's $name does not verify: $(cat "$work/verify.txt")"
        ;;
    dict.dic) ;;
    *) cmp -s "$file" "$win64/payload-staging/$name" || fail "the payload's $name was changed" ;;
    esac
done
[ "$staged_pe" -gt 8 ] && [ "$pe" -eq "$staged_pe" ] ||
    fail "$pe signed programs and controls in the payload, $staged_pe staged"

# The signature covers the payload resource: one byte flipped in the middle of it.
offset=$(perl -e 'local $/; open my $e, "<:raw", $ARGV[0] or die; open my $a, "<:raw", $ARGV[1] or die;
    my ($exe, $dat) = (<$e>, <$a>); my $at = index($exe, substr($dat, 0, 4096));
    print $at < 0 ? -1 : $at + int(length($dat) / 2);' "$work/packed.exe" "$archive")
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
# The unsigned setup of the package build, signed again twice at the same time: the same bytes as
# the packed one. PEM files give a signature that verifies as well.
unsigned=$build/ZarBelPC-Setup-x64.exe
"$signer" "${p12[@]}" --time "$now" "$unsigned" "$work/again1.exe" 2>"$work/err" ||
    fail "signing again: $(cat "$work/err")"
"$signer" "${p12[@]}" --time "$now" "$unsigned" "$work/again2.exe" 2>"$work/err" ||
    fail "signing a third time: $(cat "$work/err")"
cmp -s "$work/packed.exe" "$work/again1.exe" || fail "signing again gave other bytes"
cmp -s "$work/again1.exe" "$work/again2.exe" || fail "two signings at the same time differ"
"$signer" --sign-cert "$ca/signer.pem" --sign-key "$ca/signer.key" --time "$now" "$setup" \
    "$work/pem.exe" 2>"$work/err" || fail "signing with PEM files: $(cat "$work/err")"
verify "$work/pem.exe" || fail "the PEM-signed setup does not verify: $(cat "$work/verify.txt")"
sha256sum "$work/packed.exe" "$work/again1.exe" "$work/again2.exe" | sed "s|$work/||"

if [ "$failures" -eq 0 ]; then
    sed -n '/Current message\|Calculated message\|Signature verification\|Text description\|URL description\|Signing time\|Subject: /p' \
        "$work/verify-packed.txt"
    sed -n '/mismatch\|failed/Ip' "$work/verify-flipped.txt" | head -3 | sed 's/^/flipped byte: /'
    echo "sign-test: all checks passed"
fi
[ "$failures" -eq 0 ]
