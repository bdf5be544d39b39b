#!/usr/bin/env bash
# Writes a payload archive that zbpack refuses to make: the setup's own archive with entries
# around it whose names Windows does not store as given. The one before the setup's entries,
# RESOURCE.DAT., would empty the archive being read if it were written.
# usage: make-archive.sh OUT SETUP_ARCHIVE
set -eu
out=$1
setup_archive=$2

le32() {
    local n=$1
    printf "\\x$(printf %02x $((n & 255)))\\x$(printf %02x $((n >> 8 & 255)))"
    printf "\\x$(printf %02x $((n >> 16 & 255)))\\x$(printf %02x $((n >> 24 & 255)))"
}
record() {  # NAME CONTENT: H = 264, a 256-byte name field
    le32 ${#2}
    le32 264
    printf '%s' "$1"
    head -c $((256 - ${#1})) /dev/zero
    printf '%s' "$2"
}

mkdir -p "$(dirname "$out")"
{
    record AAA-FIRST.TXT "first entry"
    record CON "not for the console"
    record nul.txt "not for the null device"
    record RESOURCE.DAT. "would empty the archive"
    cat "$setup_archive"
    record LPT1.log "not for the printer"
    record 'a?b' "not a Windows name"
    record ZZZ-LAST.TXT "last entry"
} >"$out.tmp"
mv "$out.tmp" "$out"
