#!/usr/bin/env bash
# scripts/package (a wrapper over zbpack setup build) as a release engineer runs it.
# usage: package-test.sh ROOT ZBPACK inputs WIN64_BUILD
#        package-test.sh ROOT ZBPACK reproducible WIN64_BUILD
# "inputs": the refusals, each with its message, exit status 2 and no setup written; a signed
# stub and a file that is not a stub are refused too.
# "reproducible": the setup written from the x86_64 build's stub and staged payload must be byte
# for byte the one that build made, twice over, and hold no build folder's path.
set -u
root=$1
export ZBPACK=$2
mode=$3
win64=$4
stub=$win64/ZarBelPC-Setup-stub-x64.exe
[ -f "$stub" ] || { echo "FAIL: no $stub (build the mingw64 preset)"; exit 1; }
package=$root/scripts/package
work=$(mktemp -d /tmp/zb-package-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
. "$root/tests/tools/test-lib.sh"

# run DESCRIPTION WANTED_STATUS ARGS... : runs scripts/package, keeps its stderr in $work/err.
run() {
    local what=$1 want=$2
    shift 2
    "$package" "$@" >"$work/out" 2>"$work/err"
    local got=$?
    [ "$got" -eq "$want" ] || fail "$what: exit $got, want $want: $(cat "$work/err")"
}
says() {  # says DESCRIPTION TEXT : the last run's messages hold TEXT
    grep -qF -- "$2" "$work/err" || fail "$1: no '$2' in: $(cat "$work/err")"
}
never_says() {
    ! grep -qF -- "$2" "$work/err" || fail "$1: '$2' in: $(cat "$work/err")"
}

if [ "$mode" = inputs ]; then
    # A payload with everything the installation needs (contents do not matter to the checks).
    full=$work/full
    required_payload "$full" movefile.bat Thumbs.db
    good_dict=$root/resources/dictionary.ini
    # A dictionary text whose key list names a key no language defines.
    { cat "$good_dict"; printf '\r\n'; } >"$work/bad.ini"
    sed -i '0,/^\[ENUMKEYS\]/s//[ENUMKEYS]\r\nZZ_NOT_DEFINED_ANYWHERE=1/' "$work/bad.ini"
    "$ZBPACK" dict check "$work/bad.ini" >/dev/null 2>&1 &&
        fail "the broken dictionary passes zbpack dict check; the test needs another breakage"
    out=$work/setup.exe

    cp -r "$full" "$work/lacking" && rm "$work/lacking/MSINET.OCX" "$work/lacking/assocset.exe"
    run "two files missing" 2 --payload "$work/lacking" --out "$out" --arch x86_64 --stub "$stub"
    says "missing control" "the payload lacks MSINET.ocx"
    says "missing companion" "the payload lacks assocset.exe"
    says "missing, summary" "2 problem(s) with the inputs; nothing was written"
    never_says "missing" "lacks ZarBelPC.EXE"

    # Other capitalisations are the same files to Windows; a bad dictionary stops the build.
    cp -r "$full" "$work/cased"
    mv "$work/cased/MSINET.OCX" "$work/cased/msinet.ocx"
    mv "$work/cased/ZarBelPC.EXE" "$work/cased/ZARBELPC.exe"
    printf 'old' >"$work/cased/dict.dic"
    run "bad dictionary" 2 --payload "$work/cased" --dictionary "$work/bad.ini" --out "$out" \
        --stub "$stub"
    never_says "other case" "lacks"
    says "bad dictionary" "has problems (zbpack dict check)"
    says "bad dictionary, the problem" "dictionary: $work/bad.ini:"
    says "payload's DICT.DIC" "the payload's dict.dic is left out"

    # Names the archive cannot hold side by side, and a file over the setup's limit (sparse).
    cp -r "$full" "$work/clash"
    printf 'x' >"$work/clash/THUMBS.DB"
    printf 'e' >"$work/clash/"$'caf\xE9.txt' && printf 'E' >"$work/clash/"$'CAF\xC9.txt'
    run "names differing in case" 2 --payload "$work/clash" --out "$out" --stub "$stub"
    says "names differing in case" "Thumbs.db: names that differ only in letter case"
    says "accented letters differing in case" \
        "CAF"$'\xC9'".txt and $work/clash/caf"$'\xE9'".txt: names that differ only in letter case"
    cp -r "$full" "$work/big"
    truncate -s 15000001 "$work/big/song.kar"
    run "file too big" 2 --payload "$work/big" --out "$out" --stub "$stub"
    says "file too big" "song.kar: 15000001 bytes, more than the setup's limit of 15000000"

    # Names Windows would not store as given, told together with a bad dictionary.
    cp -r "$full" "$work/winnames"
    printf 'x' >"$work/winnames/nul.txt" && printf 'x' >"$work/winnames/RESOURCE.DAT."
    run "Windows names" 2 --payload "$work/winnames" --dictionary "$work/bad.ini" --out "$out" \
        --stub "$stub"
    says "device name" "'nul.txt' is a device name on Windows"
    says "trailing dot" "'RESOURCE.DAT.' ends in a dot"
    says "Windows names, the dictionary" "has problems (zbpack dict check)"
    says "Windows names, summary" "3 problem(s) with the inputs"

    cp -r "$full" "$work/nested" && mkdir "$work/nested/SONGS"
    run "subfolder" 2 --payload "$work/nested" --out "$out" --stub "$stub"
    says "subfolder" "the payload holds a folder, 'SONGS'"
    # A symbolic link would pack a file from anywhere; names are printed with control bytes
    # escaped.
    cp -r "$full" "$work/linked"
    printf 'secret' >"$work/outside.txt"
    ln -s "$work/outside.txt" "$work/linked/notes.txt"
    mkdir "$work/linked/"$'dir\e]0;x\a'
    run "symbolic link" 2 --payload "$work/linked" --out "$out" --stub "$stub"
    says "symbolic link" "'notes.txt' in the payload is a symbolic link"
    says "escaped name" "the payload holds a folder, 'dir\x1B]0;x\x07'"
    never_says "escaped name" $'\e'

    # A release's documents, version and pictures: every problem told, each in its own words.
    docs=$work/docs && mkdir -p "$docs/old"
    printf '{\\rtf1\\ansi clause 7 {\\b amended} \\{sic\\}}' >"$docs/license_uk.rtf"
    printf 'notes' >"$docs/README.txt"
    printf 'plain text' >"$docs/INSTALL_IT.RTF"
    printf '{\\rtf1 {\\b open}' >"$docs/LICENSE_IT.RTF"
    { printf '{\\rtf1 '; head -c 32761 /dev/zero | tr '\0' x; printf '}'; } >"$docs/LICENSE_FR.RTF"
    printf '{\\rtf1 twin}' >"$docs/LICENSE_UK.RTF"
    run "documents" 2 --payload "$full" --out "$out" --stub "$stub" --documents "$docs"
    says "documents: another name" "'README.txt' in the documents folder is none of LICENSE_IT.RTF"
    says "documents: a folder" "the documents folder holds a folder, 'old'"
    says "documents: not RTF" "INSTALL_IT.RTF' is not an RTF document (it does not start with {\rtf)"
    says "documents: braces" "LICENSE_IT.RTF' is not a whole RTF document (its braces do not balance)"
    says "documents: too large" "LICENSE_FR.RTF' is 32769 bytes, more than the 32767 that the setup's document control shows"
    says "documents: case twins" "'LICENSE_UK.RTF' and 'license_uk.rtf' in the documents folder are the same name"
    says "documents, summary" "6 problem(s) with the inputs; nothing was written"
    for bad in "1:has one number" "1.2.3.4.5:has more than four numbers" "1.65536:is over 65535" \
        "1.x:is not a version" "1..2:is not a version" "1.02:starts with a zero" "-1.0:is not a version"; do
        run "version ${bad%%:*}" 2 --payload "$full" --out "$out" --stub "$stub" --version "${bad%%:*}"
        says "version ${bad%%:*}" "--version '${bad%%:*}'"
        says "version ${bad%%:*}" "${bad#*:}"
    done
    art=$work/art && mkdir -p "$art/more"
    cp "$root/resources/art/banner_mic.bmp" "$art/title.bmp"
    head -c 5000 "$root/resources/art/banner_mic.bmp" >"$art/BANNER_MIC.BMP"
    head -c 100 "$root/resources/art/setup.ico" >"$art/setup.ico"
    printf 'x' >"$art/logo.png"
    run "art" 2 --payload "$full" --out "$out" --stub "$stub" --art "$art"
    says "art: wrong size" "title.bmp' is 56 x 60 pixels, 24 bits per pixel; the dialog's picture is 194 x 60, 24"
    says "art: cut short" "BANNER_MIC.BMP' is not a whole bitmap: its header gives 10134 bytes, the file has 5000"
    says "art: bad icon" "setup.ico' image 1 lies outside the file"
    says "art: another name" "'logo.png' in the art folder is none of banner_mic.bmp, title.bmp, setup.ico"
    says "art: a folder" "the art folder holds a folder, 'more'"
    rm -r "$art" && mkdir "$art" && printf 'BM not a picture' >"$art/title.bmp" &&
        printf 'not an icon' >"$art/setup.ico"
    run "art: not pictures" 2 --payload "$full" --out "$out" --stub "$stub" --art "$art"
    says "art: not a bitmap" "title.bmp' is not a Windows bitmap"
    says "art: not an icon" "setup.ico' is not an icon file (.ico)"
    # The good ones go in: a document of a lower-case name, the version, the stub's own art.
    rm "$docs/README.txt" "$docs/INSTALL_IT.RTF" "$docs/LICENSE_IT.RTF" "$docs/LICENSE_FR.RTF" \
        "$docs/LICENSE_UK.RTF" && rmdir "$docs/old"
    rm -r "$art" && mkdir "$art" && cp "$root/resources/art/"*.bmp "$root/resources/art/setup.ico" "$art/"
    run "release inputs" 0 --payload "$full" --out "$work/release.exe" --stub "$stub" \
        --documents "$docs" --version 1.1.7 --art "$art"
    "$ZBPACK" setup list "$work/release.exe" >"$work/list.txt"
    grep -qx 'version 1.1.7 (1.1.7.0)' "$work/list.txt" || fail "setup list: $(tail -1 "$work/list.txt")"
    grep -q "^\"RTF\"	\"LICENSE_UK.RTF\"	1040	$(stat -c %s "$docs/license_uk.rtf")	" "$work/list.txt" ||
        fail "the release's LICENSE_UK.RTF is not in the setup"

    run "no such payload" 2 --payload "$work/none" --out "$out" --stub "$stub"
    says "no such payload" "does not exist"
    run "no such dictionary" 2 --payload "$full" --dictionary "$work/none.ini" --out "$out" \
        --stub "$stub"
    says "no such dictionary" "does not exist"
    run "bad arch" 2 --payload "$full" --arch arm64 --out "$out"
    says "bad arch" "--arch must be i686 or x86_64"
    run "unknown option" 2 --payloads "$full"
    run "help" 0 --help
    grep -q -- "--dictionary FILE" "$work/out" || fail "--help does not describe --dictionary"

    # Stubs that zbpack must not write a setup from: one with a certificate table (the
    # security data directory made non-zero), a packed setup, a program that is not this setup.
    cp "$stub" "$work/signed.exe"
    pe=$(od -An -tu4 -j60 -N4 "$stub" | tr -d ' ')
    printf '\x00\x10\x00\x00\x08\x00\x00\x00' |
        dd of="$work/signed.exe" bs=1 seek=$((pe + 24 + 112 + 8 * 4)) conv=notrunc 2>/dev/null
    run "signed stub" 2 --payload "$full" --out "$out" --stub "$work/signed.exe"
    says "signed stub" "is signed (it carries a certificate table); sign the setup after packing"
    run "packed setup as stub" 2 --payload "$full" --out "$out" \
        --stub "$win64/ZarBelPC-Setup-x64.exe"
    says "packed setup as stub" "already carries data resources"
    run "no resources" 2 --payload "$full" --out "$out" --stub "$win64/tests/package/zbresdump.exe"
    says "no resources" "cannot be the stub: it has no resource section"
    x86_64-w64-mingw32-strip -o "$work/probe.exe" "$win64/e2e/zbprobe.exe"
    run "another program" 2 --payload "$full" --out "$out" --stub "$work/probe.exe"
    says "another program" "is not a stub of this setup (it has no INSTALLDLG dialog)"
    run "not a program" 2 --payload "$full" --out "$out" --stub "$good_dict"
    says "not a program" "not a Windows program"
    # Damaged stubs: SizeOfHeaders above the sections' raw data, and a second resource type
    # sharing the first one's table (each leaf would be read once per path to it).
    cp "$stub" "$work/headers.exe"
    printf '\x00\x30\x00\x00' |
        dd of="$work/headers.exe" bs=1 seek=$((pe + 24 + 60)) conv=notrunc 2>/dev/null
    run "SizeOfHeaders over the sections" 2 --payload "$full" --out "$out" \
        --stub "$work/headers.exe"
    says "SizeOfHeaders over the sections" "starts inside the headers (below SizeOfHeaders)"
    rsrc=$(grep -obUaP '\.rsrc\x00\x00\x00' "$stub" | head -1 | cut -d: -f1)
    root=$(od -An -tu4 -j$((rsrc + 20)) -N4 "$stub" | tr -d ' ')
    cp "$stub" "$work/shared.exe"
    dd if="$stub" of="$work/shared.exe" bs=1 skip=$((root + 20)) seek=$((root + 28)) count=4 \
        conv=notrunc 2>/dev/null
    run "shared resource table" 2 --payload "$full" --out "$out" --stub "$work/shared.exe"
    says "shared resource table" "the resource directory is not a tree"
    "$ZBPACK" setup list "$work/shared.exe" >"$work/out" 2>"$work/err"
    [ $? -eq 2 ] || fail "setup list of a damaged setup: not exit 2: $(cat "$work/err")"
    # A resource name with an escape sequence is listed escaped.
    at=$(grep -obUaP '\x05\x00S\x00E\x00T\x00U\x00P\x00' "$stub" | head -1 | cut -d: -f1)
    cp "$stub" "$work/escaped.exe"
    printf '\x1b\x00]\x000\x00;\x00x\x00' |
        dd of="$work/escaped.exe" bs=1 seek=$((at + 2)) conv=notrunc 2>/dev/null
    "$ZBPACK" setup list "$work/escaped.exe" >"$work/err" 2>&1 || fail "setup list: $(cat "$work/err")"
    says "setup list, escaped name" '"\x1B]0;x"'
    never_says "setup list, escaped name" $'\e'
    # A link planted under the temporary name is neither followed nor taken over.
    printf 'precious' >"$work/victim.txt"
    bash -c 'ln -s "$1" "$2.tmp-$$" &&
        exec "$0" setup build --stub "$3" --payload "$4" --dictionary "$5" --out "$2"' \
        "$ZBPACK" "$work/victim.txt" "$work/planted.exe" "$stub" "$full" "$good_dict" \
        >"$work/out" 2>"$work/err" || fail "setup build beside a planted link: $(cat "$work/err")"
    [ "$(cat "$work/victim.txt")" = precious ] || fail "setup build wrote through a planted link"
    [ -f "$work/planted.exe" ] && [ ! -L "$work/planted.exe" ] ||
        fail "setup build beside a planted link: no setup of its own"

    [ ! -e "$out" ] || fail "a refused run wrote $out"
    ! ls "$work"/setup.exe.tmp-* >/dev/null 2>&1 || fail "a refused run left a temporary file"
elif [ "$mode" = reproducible ]; then
    reference=$win64/ZarBelPC-Setup-x64.exe
    [ -f "$reference" ] || { echo "FAIL: no $reference (build the mingw64 preset)"; exit 1; }
    # The stub copied elsewhere, as a release machine holds it.
    mkdir -p "$work/release" && cp "$stub" "$work/release/"
    for round in 1 2; do
        run "package the staged payload ($round)" 0 --payload "$win64/payload-staging" \
            --arch x86_64 --stub "$work/release/${stub##*/}" --out "$work/again-$round.exe"
        cmp "$reference" "$work/again-$round.exe" ||
            fail "the setup written from the stub differs from $reference ($round)"
    done
    echo "sha256 of the setup written twice: $(sha256sum "$work"/again-*.exe | cut -c1-64 | uniq)"
    # What setup extract writes makes the same setup again: the build's own, and a 1.1 release
    # with its own documents and version made from the extracted stub.
    for setup in "$reference" "$work/release-1.1.exe"; do
        if [ "$setup" != "$reference" ]; then
            cp -r "$work/x1/documents" "$work/docs" &&
                printf '{\\rtf1\\ansi Clause 7, amended for 1.1.\\par}' >"$work/docs/LICENSE_UK.RTF"
            run "a 1.1 release" 0 --payload "$work/x1/payload" --dictionary "$work/x1/dictionary.ini" \
                --stub "$work/x1/stub.exe" --documents "$work/docs" --version 1.1 --out "$setup"
        fi
        x=$work/x$([ "$setup" = "$reference" ] && echo 1 || echo 2)
        "$ZBPACK" setup extract "$setup" "$x" >"$work/extract.txt" 2>&1 ||
            { fail "setup extract $setup: $(cat "$work/extract.txt")"; continue; }
        # shellcheck disable=SC2046
        "$ZBPACK" setup build --stub "$x/stub.exe" --payload "$x/payload" --dictionary \
            "$x/dictionary.ini" --documents "$x/documents" --art "$x/art" --version \
            "$(cat "$x/version.txt")" --out "$x.exe" >/dev/null || fail "build from $x"
        cmp "$setup" "$x.exe" || fail "the setup built from what extract wrote differs from $setup"
        echo "extract and build again, $(cat "$x/version.txt"): sha256 $(sha256sum "$setup" "$x.exe" | cut -c1-64 | uniq)"
    done
    cmp "$x/documents/LICENSE_UK.RTF" "$work/docs/LICENSE_UK.RTF" || fail "1.1: LICENSE_UK.RTF"
    cmp "$work/x1/stub.exe" "$stub" || fail "the stub extracted from the build's setup is not the build's stub"
    cmp "$work/x1/dictionary.ini" "$root/resources/dictionary.ini" || fail "the extracted dictionary text"
    # No build folder's path inside.
    for path in "$root" "$win64"; do
        ! grep -qaF "$path" "$work/again-1.exe" || fail "the setup holds the path $path"
    done
else
    echo "usage: package-test.sh ROOT ZBPACK inputs|reproducible WIN64_BUILD" >&2
    exit 2
fi

[ "$failures" -eq 0 ] && echo "package-test $mode: all checks passed"
[ "$failures" -eq 0 ]
