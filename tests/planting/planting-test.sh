#!/usr/bin/env bash
# Planted DLLs under Wine: copies of a decoy DLL, under the names a Windows loader is known to
# pick up from beside a program, lie beside the setup and in the current folder it is started
# from; Wine is told to prefer them to its own (native first). A decoy that gets loaded leaves a
# marker. First a control: a program that loads "version.dll" by its bare name must leave one, or
# the test could not fail. Then a baseline program with the setup's imports that does nothing:
# what it loads is the loader's doing before any code runs (under Wine, its own DLLs import
# version.dll and imm32.dll, which Windows keeps among its known DLLs or never imports there).
# Then the setup runs until it waits for the user; it may load no decoy beyond the baseline.
#   planting-test.sh SETUP_EXE DECOY_DLL BARELOAD_EXE BASELINE_EXE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ $# -eq 4 ] || { sed -n '2,12p' "$0"; exit 2; }
setup=$1
decoy=$2
bareload=$3
baseline=$4

# The DLLs the setup imports or loads (objdump -p: ADVAPI32, KERNEL32, msvcrt, ole32, SHELL32,
# USER32, all known DLLs; RICHED32 by full path from the system directory) and those their
# dependencies and the message boxes pull in.
decoys="version uxtheme dwmapi cryptbase winmm msimg32 comctl32 riched20 riched32 propsys
        shfolder userenv profapi wldp msftedit oleaut32 imm32 sspicli"
overrides=""
for name in $decoys; do
    overrides="$overrides${overrides:+;}$name=n,b"
done
export ZB_EXTRA_DLLOVERRIDES=$overrides
. "$root/scripts/wine-env"

work=$(mktemp -d "${TMPDIR:-/tmp}/zb-planting.XXXXXX")
prefix=$(zb_wine_fresh_prefix) || { echo "planting: cannot make a prefix" >&2; exit 1; }
export WINEPREFIX=$prefix
cleanup() {
    "$WINESERVER" -k 2>/dev/null
    "$WINESERVER" -w 2>/dev/null
    rm -rf "$prefix" "$work"
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=:$((50 + RANDOM % 20))
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    sleep 1
fi

# The program's folder and a different current folder, both full of decoys.
mkdir -p "$work/program" "$work/current" "$work/markers"
for folder in "$work/program" "$work/current"; do
    for name in $decoys; do
        cp "$decoy" "$folder/$name.dll"
    done
    cp "$decoy" "$folder/RICHED32.DLL"
done
export ZB_DECOY_MARKERS=$(WINEPREFIX=$prefix "$WINE64" winepath -w "$work/markers" 2>/dev/null)
export WINEDEBUG=${ZB_PLANTING_WINEDEBUG:--all}
cp "$bareload" "$work/program/bareload.exe"
cp "$baseline" "$work/program/baseline.exe"
cp "$setup" "$work/program/setup.exe"

failed=0
# The control: a bare LoadLibrary from the program's folder must be caught.
(cd "$work/current" && "$WINE64" "$work/program/bareload.exe" version.dll)
if [ -f "$work/markers/version.dll.loaded" ]; then
    echo "planting: control: a bare LoadLibrary(\"version.dll\") loaded the decoy, as it should:" \
         "$(tr -d '\0' < "$work/markers/version.dll.loaded")"
else
    echo "planting: control FAILED: the decoy was not loaded by a bare LoadLibrary; the test cannot see planting"
    failed=1
fi
rm -f "$work/markers"/*

# What the loader brings in for the setup's imports before any of its code runs.
(cd "$work/current" && "$WINE64" "$work/program/baseline.exe")
loader=$(cd "$work/markers" && ls)
echo "planting: loaded for the imports alone, before any code runs:" $loader
rm -f "$work/markers"/*

# The setup, started from the decoys' current folder, runs until it waits for an answer.
(cd "$work/current" && timeout "${ZB_PLANTING_SECONDS:-12}" "$WINE64" "$work/program/setup.exe")
echo "planting: setup ended with $? (124: stopped while it waited)"
"$WINESERVER" -k 2>/dev/null
"$WINESERVER" -w 2>/dev/null
found=0
for marker in "$work"/markers/*; do
    [ -f "$marker" ] || continue
    name=$(basename "$marker")
    if printf '%s\n' $loader | grep -qxF "$name"; then
        continue
    fi
    echo "planting: FAILED: the setup loaded a planted DLL: $(tr -d '\0' < "$marker")"
    found=1
    failed=1
done
[ "$found" -eq 0 ] && echo "planting: the setup loaded no planted DLL beyond the loader's own"
exit "$failed"
