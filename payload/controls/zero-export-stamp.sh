#!/bin/sh
# dlltool writes the current time into the export directory of an export file; zeroing it makes
# two builds give the same bytes. usage: zero-export-stamp.sh OBJDUMP FILE.exp
set -eu
offset=$("$1" -h "$2" | awk '$2 == ".edata" { print $6 }')
if [ -z "$offset" ]; then
    echo "zero-export-stamp: no .edata section in $2" >&2
    exit 1
fi
# The export directory's TimeDateStamp follows its 4-byte Characteristics.
printf '\000\000\000\000' | dd of="$2" bs=1 seek=$((0x$offset + 4)) conv=notrunc status=none
