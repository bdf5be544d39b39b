#!/bin/bash
# End-to-end check of the x86_64 payload programs under Wine, in a throwaway prefix:
# control registration with regsvr32, the song-file associations, the main program's /dump,
# songcheck, and the uninstaller on a hand-made installation (with a refused folder first).
# Usage: wine_e2e.sh STAGING_FOLDER [COMPROBE_EXE]   (the x86_64 build's payload-staging and,
# when given, its comprobe.exe, which creates each control through COM)
# ZB_WINE_BASE names a prefix made once with "wineboot -i" that each run copies.
set -u
STAGING=$(cd "${1:?give the x86_64 staging folder}" && pwd)
PROBE=${2:-}
BASE=${ZB_WINE_BASE:-/tmp/zb-payload-wine-base}
WINE=/usr/lib/wine/wine64
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

if [ ! -d "$BASE" ]; then
    WINEPREFIX=$BASE $WINE wineboot -i >/dev/null 2>&1
    WINEPREFIX=$BASE /usr/lib/wine/wineserver -w
fi
WORK=$(mktemp -d /tmp/zb-payload-e2e.XXXXXX)
export WINEPREFIX=$WORK/prefix
cp -a "$BASE" "$WINEPREFIX"
C=$WINEPREFIX/drive_c
WIN=$C/windows
failures=0

pass() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
expect() {  # expect DESCRIPTION COMMAND... : the command must succeed
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
regvalue() {  # regvalue KEY VALUE|"" : prints the REG_SZ data, empty when missing
    local out
    if [ -z "$2" ]; then out=$($WINE reg query "$1" /ve 2>/dev/null); else out=$($WINE reg query "$1" /v "$2" 2>/dev/null); fi
    echo "$out" | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p' | head -1
}
haskey() { $WINE reg query "$1" >/dev/null 2>&1; }
unix() { $WINE winepath -u "$1" 2>/dev/null | tr -d '\r'; }
crlf() { sed 's/$/\r/'; }

# --- a hand-made installation, as the setup leaves it -------------------------------------
INSTALL=$C/ZarbelPC
mkdir -p "$INSTALL/SONGS"
cp "$STAGING"/* "$INSTALL/"
rm -f "$INSTALL/movefile.bat"
: > "$INSTALL/DefaultPlaylist.pls"
printf 'placeholder' > "$INSTALL/DICT.DIC"
printf 'MThd\0\0\0\6\0\1\0\1\1\xe0MTrk' > "$INSTALL/SONGS/Volare.kar"
printf 'not a midi file' > "$INSTALL/SONGS/Broken.kar"
sed -e 's/^Installpath=.*/Installpath=C:\\ZarbelPC/' -e 's/^SONGDIR=.*/SONGDIR=C:\\ZarbelPC\\SONGS/' \
    -e 's/^ServerPath=.*/ServerPath=zarbel.example/' -e 's/^CURRLANGUAGE=.*/CURRLANGUAGE=ENGLISH/' \
    "$STAGING/ZARBELPC.INI" > "$WIN/ZarBelPC.INI"
cp "$STAGING/ZarBelPC_UNINSTALL.exe" "$WIN/ZarBelPC_uninstall.exe"
cp "$STAGING/MFC71.dll" "$WIN/mfc71.dll"
cp "$STAGING/msvcr71.dll" "$WIN/msvcr71.dll"
# The setup counts its copies of the runtime libraries; the uninstaller deletes one only with its
# last count.
SHAREDKEY='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'
for dll in mfc71.dll msvcr71.dll; do
    $WINE reg add "$SHAREDKEY" /v "C:\\windows\\$dll" /t REG_DWORD /d 1 /f >/dev/null 2>&1
done
FONTS=$(ls -d "$WIN"/[Ff][Oo][Nn][Tt][Ss] 2>/dev/null | head -1)
cp "$STAGING/eurostib.TTF" "${FONTS:-$WIN/Fonts}/EUROSTIB.TTF"

SHELLKEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
for name in Desktop SendTo "Start Menu"; do
    folder=$(unix "$(regvalue "$SHELLKEY" "$name")")
    mkdir -p "$folder" && printf 'link' > "$folder/ZarbelPC.lnk"
done
GROUP=$(unix "$(regvalue "$SHELLKEY" Programs)")/ZarbelPC
mkdir -p "$GROUP"
printf 'link' > "$GROUP/ZarbelPC.lnk"
printf 'link' > "$GROUP/Uninstall ZarbelPC.lnk"
echo "installed into $WINEPREFIX"

# --- controls -----------------------------------------------------------------------------
declare -A PROGID=([COMDLG32.OCX]=ZarBelPC.CommonDialog [MSCOMCTL.OCX]=ZarBelPC.CommonControls
    [MSCOMCT2.OCX]=ZarBelPC.CommonControls2 [TuneChooser.ocx]=ZarBelPC.TuneChooser
    [TABCTL32.OCX]=ZarBelPC.TabControl [MSINET.OCX]=ZarBelPC.InternetTransfer)
declare -A CLSID
for ocx in COMDLG32.OCX MSCOMCTL.OCX MSCOMCT2.OCX TuneChooser.ocx TABCTL32.OCX MSINET.OCX; do
    $WINE 'C:\windows\system32\regsvr32.exe' /s "C:\\ZarbelPC\\$ocx"
    rc=$?
    CLSID[$ocx]=$(regvalue "HKCR\\${PROGID[$ocx]}\\CLSID" "")
    server=$(regvalue "HKCR\\CLSID\\${CLSID[$ocx]}\\InprocServer32" "")
    model=$(regvalue "HKCR\\CLSID\\${CLSID[$ocx]}\\InprocServer32" ThreadingModel)
    echo "     regsvr32 /s $ocx -> rc=$rc clsid=${CLSID[$ocx]} server=$server model=$model"
    expect "$ocx registered" [ $rc = 0 -a "$server" = "C:\\ZarbelPC\\$ocx" -a "$model" = Apartment ]
done
if [ -n "$PROBE" ]; then
    cp "$PROBE" "$C/comprobe.exe"
    for ocx in "${!PROGID[@]}"; do
        out=$($WINE 'C:\comprobe.exe' "${PROGID[$ocx]}" 2>&1 | tr -d '\r')
        rc=$?
        expect "COM creates ${PROGID[$ocx]} from $ocx ($out)" bash -c "grep -q '^created' <<< \"\$0\"" "$out"
    done
fi
# Unregistering one and registering it again shows /u really removes its keys.
$WINE 'C:\windows\system32\regsvr32.exe' /u /s 'C:\ZarbelPC\MSINET.OCX'
rc=$?
expect "regsvr32 /u /s MSINET.OCX removes CLSID and ProgID (rc=$rc)" \
    bash -c "[ $rc = 0 ] && ! $WINE reg query 'HKCR\\CLSID\\${CLSID[MSINET.OCX]}' >/dev/null 2>&1 && ! $WINE reg query 'HKCR\\ZarBelPC.InternetTransfer' >/dev/null 2>&1"
$WINE 'C:\windows\system32\regsvr32.exe' /s 'C:\ZarbelPC\MSINET.OCX'

# --- associations -------------------------------------------------------------------------
$WINE reg add 'HKCU\Software\Classes\.kar' /ve /d OtherPlayer.Karaoke /f >/dev/null 2>&1
(cd "$INSTALL" && $WINE assocset.exe)
rc=$?
kar=$(regvalue 'HKCU\Software\Classes\.kar' "")
zbk=$(regvalue 'HKCU\Software\Classes\.zbk' "")
command=$(regvalue 'HKCU\Software\Classes\ZarBelPC.Song\shell\open\command' "")
echo "     assocset rc=$rc .kar=$kar .zbk=$zbk command=$command"
expect "assocset associates .kar and .zbk" \
    [ $rc = 0 -a "$kar" = ZarBelPC.Song -a "$zbk" = ZarBelPC.Song -a "$command" = '"C:\ZarbelPC\ZarBelPC.EXE" "%1"' ]
echo "     reg query HKCU\\Software\\Classes\\.kar:"
$WINE reg query 'HKCU\Software\Classes\.kar' 2>/dev/null | tr -d '\r' | sed '/^$/d; s/^/       /'

# --- main program and songcheck -----------------------------------------------------------
$WINE 'C:\ZarbelPC\ZarBelPC.EXE' /dump 'C:\dump.txt'
rc=$?
echo "     ZarBelPC.EXE /dump rc=$rc:"
sed 's/^/       /' "$C/dump.txt" | tr -d '\r'
expected=$(printf '%s\n' 'Installpath=C:\ZarbelPC' 'SONGDIR=C:\ZarbelPC\SONGS' \
    'ServerPath=zarbel.example' 'CURRLANGUAGE=ENGLISH' 'EXEMODE=0' 'FirstTime=1')
expect "dump holds the installed settings" [ $rc = 0 -a "$(tr -d '\r' < "$C/dump.txt")" = "$expected" ]

$WINE 'C:\ZarbelPC\songcheck.exe' > "$WORK/songs.txt"
songs_rc=$?
songs=$(tr -d '\r' < "$WORK/songs.txt")
echo "$songs" | sed 's/^/       /'
expect "songcheck finds 2 songs, 1 damaged (rc=$songs_rc)" \
    bash -c "[ $songs_rc = 2 ] && grep -q 'Volare.kar .* ok' <<< \"\$0\" && grep -q 'Broken.kar .* damaged' <<< \"\$0\" && grep -q '^2 songs in C:.ZarbelPC.SONGS, 1 damaged' <<< \"\$0\"" "$songs"

# --- uninstaller: a refused folder first --------------------------------------------------
cp "$WIN/ZarBelPC.INI" "$WORK/ini.saved"
sed -i 's/^Installpath=.*/Installpath=C:\\windows\r/' "$WIN/ZarBelPC.INI"
$WINE 'C:\windows\ZarBelPC_uninstall.exe' /quiet /log 'C:\refused.log'
rc=$?
echo "     uninstaller with Installpath=C:\\windows: rc=$rc, log:"
tr -d '\r' < "$C/refused.log" | sed 's/^/       /'
expect "refuses the Windows directory and removes nothing" \
    [ $rc = 1 -a -f "$WIN/mfc71.dll" -a -f "$INSTALL/ZarBelPC.EXE" -a -f "$WIN/ZarBelPC.INI" ]
cp "$WORK/ini.saved" "$WIN/ZarBelPC.INI"

# --- uninstaller: the real run ------------------------------------------------------------
$WINE 'C:\windows\ZarBelPC_uninstall.exe' /quiet /log 'C:\uninstall.log'
rc=$?
echo "     uninstaller rc=$rc, log:"
tr -d '\r' < "$C/uninstall.log" | sed 's/^/       /'
echo "     left in C:\\ZarbelPC: $(cd "$INSTALL" 2>/dev/null && find . | sort | tr '\n' ' ')"
expect "uninstaller ends with 0" [ $rc = 0 ]
expect "only SONGS is left in the install folder" \
    [ "$(cd "$INSTALL" && find . | sort | tr '\n' ' ')" = ". ./SONGS ./SONGS/Broken.kar ./SONGS/Volare.kar " ]
expect "Windows copies, font and settings file are gone" \
    bash -c "[ ! -e '$WIN/mfc71.dll' -a ! -e '$WIN/msvcr71.dll' -a ! -e '${FONTS:-$WIN/Fonts}/EUROSTIB.TTF' -a ! -e '$WIN/ZarBelPC.INI' ]"
counts=$($WINE reg query "$SHAREDKEY" 2>/dev/null | tr -d '\r' | grep -ci -e 'mfc71\.dll' -e 'msvcr71\.dll')
expect "the libraries' counts are gone with them" [ "$counts" = 0 ]
leftlinks=0
for name in Desktop SendTo "Start Menu"; do
    [ -e "$(unix "$(regvalue "$SHELLKEY" "$name")")/ZarbelPC.lnk" ] && leftlinks=$((leftlinks + 1))
done
expect "links and the program group are gone" [ $leftlinks = 0 -a ! -e "$GROUP" ]
pending=$($WINE reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' | grep -i PendingFileRename)
echo "     $pending"
expect "its own copy waits for the restart" bash -c "grep -qi 'ZarBelPC_uninstall.exe' <<< \"\$0\"" "$pending"
registered=0
for ocx in "${!CLSID[@]}"; do
    haskey "HKCR\\CLSID\\${CLSID[$ocx]}" && registered=$((registered + 1))
    haskey "HKCR\\${PROGID[$ocx]}" && registered=$((registered + 1))
done
expect "no control class or ProgID is registered any more" [ $registered = 0 ]
kar=$(regvalue 'HKCU\Software\Classes\.kar' "")
expect "the earlier .kar association is back, .zbk and ZarBelPC.Song are gone ($kar)" \
    bash -c "[ '$kar' = OtherPlayer.Karaoke ] && ! $WINE reg query 'HKCU\\Software\\Classes\\.zbk' >/dev/null 2>&1 && ! $WINE reg query 'HKCU\\Software\\Classes\\ZarBelPC.Song' >/dev/null 2>&1"

/usr/lib/wine/wineserver -k 2>/dev/null
echo "$failures failure(s)"
[ "${KEEP_PREFIX:-0}" = 1 ] || rm -rf "$WORK"
[ $failures = 0 ]
