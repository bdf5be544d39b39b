# Sourced by the shell tests: failure counting and a payload folder with every file the
# installation needs (as the payload names them).
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# required_payload DIR [EXTRA...]: those files, and the extra names, each holding its own name.
required_payload() {
    local folder=$1 name
    shift
    mkdir -p "$folder"
    for name in ZarBelPC.EXE ZarBelPC_UNINSTALL.exe ZARBELPC.INI MFC71.dll msvcr71.dll \
        eurostib.TTF COMDLG32.OCX MSCOMCTL.OCX MSCOMCT2.OCX TuneChooser.ocx TABCTL32.OCX \
        MSINET.OCX assocset.exe "$@"; do
        printf '%s' "$name" >"$folder/$name"
    done
}
