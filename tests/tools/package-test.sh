#!/usr/bin/env bash
# scripts/package as a release engineer runs it.
# usage: package-test.sh ROOT ZBPACK inputs
#        package-test.sh ROOT ZBPACK reproducible WIN64_BUILD
# "inputs": the refusals, each with its message, exit status 2 and no setup written (no build).
# "reproducible": the setup packed from the x86_64 build's staged payload in a build folder of its
# own must be byte for byte the one that build made, and hold no build folder's path.
set -u
root=$1
export ZBPACK=$2
mode=$3
package=$root/scripts/package
work=$(mktemp -d /tmp/zb-package-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

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
    mkdir -p "$full"
    for name in ZarBelPC.EXE ZarBelPC_UNINSTALL.exe ZARBELPC.INI MFC71.dll msvcr71.dll \
        eurostib.TTF COMDLG32.OCX MSCOMCTL.OCX MSCOMCT2.OCX TuneChooser.ocx TABCTL32.OCX \
        MSINET.OCX assocset.exe movefile.bat Thumbs.db; do
        printf '%s' "$name" >"$full/$name"
    done
    good_dict=$root/resources/dictionary.ini
    # A dictionary text whose key list names a key no language defines.
    { cat "$good_dict"; printf '\r\n'; } >"$work/bad.ini"
    sed -i '0,/^\[ENUMKEYS\]/s//[ENUMKEYS]\r\nZZ_NOT_DEFINED_ANYWHERE=1/' "$work/bad.ini"
    "$ZBPACK" dict check "$work/bad.ini" >/dev/null 2>&1 &&
        fail "the broken dictionary passes zbpack dict check; the test needs another breakage"
    out=$work/setup.exe

    cp -r "$full" "$work/lacking" && rm "$work/lacking/MSINET.OCX" "$work/lacking/assocset.exe"
    run "two files missing" 2 --payload "$work/lacking" --out "$out" --arch x86_64
    says "missing control" "the payload lacks MSINET.ocx"
    says "missing companion" "the payload lacks assocset.exe"
    says "missing, summary" "2 problem(s) with the inputs; nothing was built"
    never_says "missing" "lacks ZarBelPC.EXE"

    # Other capitalisations are the same files to Windows; a bad dictionary stops the build.
    cp -r "$full" "$work/cased"
    mv "$work/cased/MSINET.OCX" "$work/cased/msinet.ocx"
    mv "$work/cased/ZarBelPC.EXE" "$work/cased/ZARBELPC.exe"
    printf 'old' >"$work/cased/dict.dic"
    run "bad dictionary" 2 --payload "$work/cased" --dictionary "$work/bad.ini" --out "$out"
    never_says "other case" "lacks"
    says "bad dictionary" "has problems (zbpack dict check)"
    says "bad dictionary, the problem" "package: dictionary: "
    says "payload's DICT.DIC" "the payload's dict.dic is left out"

    # Names the archive cannot hold side by side, and a file over the setup's limit (sparse).
    cp -r "$full" "$work/clash"
    printf 'x' >"$work/clash/THUMBS.DB"
    run "names differing in case" 2 --payload "$work/clash" --out "$out"
    says "names differing in case" "zbpack archive create refused it"
    cp -r "$full" "$work/big"
    truncate -s 15000001 "$work/big/song.kar"
    run "file too big" 2 --payload "$work/big" --out "$out"
    says "file too big" "zbpack archive create refused it"
    says "file too big, the file" "song.kar"

    cp -r "$full" "$work/nested" && mkdir "$work/nested/SONGS"
    run "subfolder" 2 --payload "$work/nested" --out "$out"
    says "subfolder" "the payload holds a folder, 'SONGS'"

    run "no such payload" 2 --payload "$work/none" --out "$out"
    says "no such payload" "does not exist"
    run "no such dictionary" 2 --payload "$full" --dictionary "$work/none.ini" --out "$out"
    says "no such dictionary" "does not exist"
    run "bad arch" 2 --payload "$full" --arch arm64 --out "$out"
    says "bad arch" "--arch must be i686 or x86_64"
    run "unknown option" 2 --payloads "$full"
    run "help" 0 --help
    grep -q -- "--dictionary FILE" "$work/out" || fail "--help does not describe --dictionary"

    [ ! -e "$out" ] || fail "a refused run wrote $out"
    ls -d /tmp/zb-package-build.* 2>/dev/null | while read -r dir; do
        [ "$dir" -ot "$work" ] || fail "a refused run made a build folder: $dir"
    done
elif [ "$mode" = reproducible ]; then
    win64=$4
    reference=$win64/ZarBelPC-Setup-x64.exe
    [ -f "$reference" ] || { echo "FAIL: no $reference (build the mingw64 preset)"; exit 1; }
    run "package the staged payload" 0 --payload "$win64/payload-staging" --arch x86_64 \
        --out "$work/again.exe"
    if ! cmp "$reference" "$work/again.exe"; then
        fail "the setup packed in another folder differs from $reference"
    fi
    # No build folder's path inside: neither the tree's nor the package command's.
    for path in "$root" "$win64" /tmp/zb-package-build; do
        ! grep -qaF "$path" "$work/again.exe" || fail "the setup holds the path $path"
    done
else
    echo "usage: package-test.sh ROOT ZBPACK inputs|reproducible [WIN64_BUILD]" >&2
    exit 2
fi

[ "$failures" -eq 0 ] && echo "package-test $mode: all checks passed"
[ "$failures" -eq 0 ]
