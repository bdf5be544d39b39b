#!/usr/bin/env bash
# zbpack setup build against the tools that know the PE format.
# usage: setup-build-test.sh parity ZBPACK ROOT
#        setup-build-test.sh wine ZBPACK ROOT STUB_X64 ZBRESDUMP_EXE
# "parity": a small program linked by MinGW-w64 with the setup's resource script, once as a stub
# and once with the two data resources compiled in by windres; zbpack must write the second from
# the first byte for byte (x86_64 and i686, with and without a relocation section after the
# resources); and a release with its own version, document, picture and icon, written from the
# stub with --version, --documents and --art, must be what windres makes with them compiled in.
# "wine": setups written from the x86_64 stub for a small, an odd and a 200 MB payload; the data
# resources that the Windows loader and the setup's resource store read back under Wine must be
# the archive and the container zbpack makes of the same inputs, and objdump and windres must read
# the setups' resource directories.
set -u
mode=$1
zbpack=$2
root=$3
work=$(mktemp -d /tmp/zb-setup-build-test.XXXXXX)
. "$root/tests/tools/test-lib.sh"
dictionary=$root/resources/dictionary.ini

# reference DIR OUT_FOLDER: the archive and the container as zbpack's own commands make them.
reference() {
    mkdir -p "$2"
    "$zbpack" dict build "$dictionary" "$2/DICT.DIC" || return 1
    local files=()
    while IFS= read -r -d '' path; do
        case ${path##*/} in [Dd][Ii][Cc][Tt].[Dd][Ii][Cc]) continue ;; esac
        files+=("$path")
    done < <(find "$1" -mindepth 1 -maxdepth 1 -type f -print0)
    "$zbpack" archive create "$2/RESOURCE.DAT" "${files[@]}" "$2/DICT.DIC" >/dev/null
}

if [ "$mode" = parity ]; then
    trap 'rm -rf "$work"' EXIT
    required_payload "$work/payload"
    : >"$work/payload/EMPTY.DAT"
    printf 'x' >"$work/payload/one.bin"
    reference "$work/payload" "$work/data" || fail "reference data"
    printf 'int main(void) { return 0; }\n' >"$work/main.c"
    cp "$root/resources/setup.rc" "$work/stub.rc"
    { cat "$root/resources/setup.rc"
      # A quoted name right after a quoted file name would be joined to it: DICT.DIC first.
      printf '\n"DICT.DIC" PLAINEXTRACT "DICT.DIC"\nRESOURCE.DAT PLAINEXTRACT "RESOURCE.DAT"\n'
    } >"$work/full.rc"
    for arch in x86_64 i686; do
        for relocs in "-Wl,--dynamicbase" "-Wl,--disable-dynamicbase -Wl,--disable-reloc-section"; do
            what="$arch $relocs"
            for rc in stub full; do
                (cd "$root/resources" && "$arch-w64-mingw32-windres" -I "$root/resources" \
                    -I "$work/data" "$work/$rc.rc" -O coff -o "$work/$rc.o") || fail "$what: windres $rc"
                # shellcheck disable=SC2086
                "$arch-w64-mingw32-gcc" -s -Wl,--no-insert-timestamp $relocs "$work/main.c" \
                    "$work/$rc.o" -o "$work/$rc.exe" || fail "$what: link $rc"
            done
            "$arch-w64-mingw32-objdump" -h "$work/stub.exe" | grep -q ' \.reloc ' &&
                has_reloc=1 || has_reloc=0
            case $relocs in *disable*) want=0 ;; *) want=1 ;; esac
            [ "$has_reloc" -eq "$want" ] || fail "$what: the stub's .reloc is not as the case needs"
            "$zbpack" setup build --stub "$work/stub.exe" --payload "$work/payload" \
                --dictionary "$dictionary" --out "$work/zbpack.exe" >/dev/null ||
                fail "$what: zbpack setup build"
            cmp "$work/full.exe" "$work/zbpack.exe" ||
                fail "$what: zbpack's setup differs from the one windres and ld made"
        done
    done
    # A release made from an x86_64 stub with its own version, a
    # document, a picture and an icon of two images must be what windres and ld make of the
    # resources with those changes compiled in.
    release=$work/release
    mkdir -p "$release/records" "$release/docs" "$release/art"
    cp -r "$root/resources" "$release/" && cp "$root/records/Version.h" "$release/records/"
    sed -i 's/^#define ZB_VERSION_NUMBERS .*/#define ZB_VERSION_NUMBERS 1, 1, 7, 0/;
            s/^#define ZB_VERSION_TEXT .*/#define ZB_VERSION_TEXT "1.1.7"/' "$release/records/Version.h"
    sed -i 's/version="1.0.0.0"/version="1.1.7.0"/' "$release/resources/setup.manifest"
    printf '{\\rtf1\\ansi Clause 7, amended.\\par}' >"$release/docs/LICENSE_UK.RTF"
    cp "$root/resources/art/title.bmp" "$release/art/title.bmp"
    printf '\x12\x34\x56\x78' | dd of="$release/art/title.bmp" bs=1 seek=2000 conv=notrunc 2>/dev/null
    ico=$root/resources/art/setup.ico
    { printf '\x00\x00\x01\x00\x02\x00'
      head -c 18 "$ico" | tail -c 12 && printf '\x26\x00\x00\x00'
      head -c 18 "$ico" | tail -c 12 && printf '\x0e\x03\x00\x00'
      tail -c +23 "$ico" && tail -c +23 "$ico"; } >"$release/art/setup.ico"
    cp "$release/docs/LICENSE_UK.RTF" "$release/resources/docs/"
    cp "$release/art/title.bmp" "$release/art/setup.ico" "$release/resources/art/"
    (cd "$root/resources" && x86_64-w64-mingw32-windres -I "$root/resources" "$work/stub.rc" \
        -O coff -o "$work/stub.o") || fail "release: windres stub"
    (cd "$release/resources" && x86_64-w64-mingw32-windres -I "$release/resources" -I "$work/data" \
        "$work/full.rc" -O coff -o "$work/release.o") || fail "release: windres"
    for rc in stub release; do
        x86_64-w64-mingw32-gcc -s -Wl,--no-insert-timestamp "$work/main.c" "$work/$rc.o" \
            -o "$work/$rc-windres.exe" || fail "release: link $rc"
    done
    "$zbpack" setup build --stub "$work/stub-windres.exe" --payload "$work/payload" --dictionary \
        "$dictionary" --version 1.1.7 --documents "$release/docs" --art "$release/art" \
        --out "$work/release-zbpack.exe" >/dev/null || fail "release: zbpack setup build"
    cmp "$work/release-windres.exe" "$work/release-zbpack.exe" ||
        fail "release: zbpack's 1.1.7 differs from the one windres and ld made"
elif [ "$mode" = wine ]; then
    stub=$4
    zbresdump=$5
    . "$root/scripts/wine-env"
    prefix=$(zb_wine_fresh_prefix) || { echo "FAIL: cannot make a Wine prefix"; exit 1; }
    trap '"$WINESERVER" -k 2>/dev/null; "$WINESERVER" -w 2>/dev/null; rm -rf "$work" "$prefix"' EXIT
    export WINEPREFIX=$prefix

    required_payload "$work/small"
    # Odd: an empty file, one byte, a file of exactly the setup's limit, lengths that leave every
    # resource off its 8-byte boundary, a long name, and a DICT.DIC of the folder's own (left out).
    required_payload "$work/odd"
    : >"$work/odd/EMPTY.DAT"
    printf 'x' >"$work/odd/one.bin"
    head -c 15000000 /dev/urandom >"$work/odd/limit.bin"
    head -c 4097 /dev/urandom >"$work/odd/page+1.bin"
    printf 'stale' >"$work/odd/dict.dic"
    long=$(printf 'n%.0s' $(seq 1 240)).txt
    printf 'long' >"$work/odd/$long"
    # 200 MB: fourteen files at the setup's per-file limit and the required ones.
    required_payload "$work/large"
    for i in $(seq -w 1 14); do
        head -c 14300000 /dev/urandom >"$work/large/song$i.kar"
    done

    for case in small odd large; do
        out=$work/$case.exe
        t0=$(date +%s.%N)
        "$zbpack" setup build --stub "$stub" --payload "$work/$case" --dictionary "$dictionary" \
            --out "$out" >/dev/null 2>"$work/err" || { fail "$case: $(cat "$work/err")"; continue; }
        t1=$(date +%s.%N)
        reference "$work/$case" "$work/$case-ref" || fail "$case: reference data"
        mkdir -p "$work/$case-read"
        if ! "$WINE64" "$zbresdump" "$out" "Z:${work//\//\\}\\$case-read" >"$work/dump.txt" 2>&1; then
            fail "$case: zbresdump: $(cat "$work/dump.txt")"
            continue
        fi
        for name in RESOURCE.DAT DICT.DIC; do
            cmp "$work/$case-ref/$name" "$work/$case-read/$name" ||
                fail "$case: $name read under Wine is not what zbpack packed"
        done
        size=$(stat -c %s "$work/$case-ref/RESOURCE.DAT")
        echo "$case: $(stat -c %s "$out") bytes, RESOURCE.DAT $size bytes, written in" \
            "$(awk "BEGIN { printf \"%.2f\", $t1 - $t0 }") s"
        # objdump walks the resource directory; windres decodes every resource.
        x86_64-w64-mingw32-objdump -p "$out" >"$work/objdump.txt" 2>"$work/objdump.err" ||
            fail "$case: objdump -p failed"
        [ ! -s "$work/objdump.err" ] || fail "$case: objdump: $(head -3 "$work/objdump.err")"
        grep -A3 ': RESOURCE.DAT,' "$work/objdump.txt" | grep -q "Size: $(printf '0x%06x' "$size")," ||
            fail "$case: objdump does not show RESOURCE.DAT with $size bytes"
        if [ "$case" != large ]; then
            x86_64-w64-mingw32-windres -i "$out" -O rc -o "$work/back.rc" 2>"$work/windres.err" ||
                fail "$case: windres cannot read the setup: $(cat "$work/windres.err")"
            for entry in '"DICT.DIC" "PLAINEXTRACT"' '"RESOURCE.DAT" "PLAINEXTRACT"' \
                '"INSTALLDLG" DIALOG' 'VERSIONINFO' '"LICENSE_IT.RTF" "RTF"'; do
                grep -qF -- "$entry" "$work/back.rc" || fail "$case: windres does not see $entry"
            done
        fi
        rm -rf "$work/$case-read" "$work/$case-ref" "$out"
    done
else
    sed -n '2,11p' "$0"
    exit 2
fi

[ "$failures" -eq 0 ] && echo "setup-build-test $mode: all checks passed"
[ "$failures" -eq 0 ]
