#!/usr/bin/env bash
# zbpack dict and zbpack strings as a user runs them: exit codes, messages and the files left.
# usage: zbpack-dict-test.sh ZBPACK DICTIONARY.INI
set -u
zbpack=$1
source_ini=$2
work=$(mktemp -d /tmp/zbpack-dict-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_status() {  # expected, description, command...
    local want=$1 what=$2
    shift 2
    "$@" >"$work/out" 2>"$work/err"
    local got=$?
    [ "$got" -eq "$want" ] || fail "$what: exit $got, want $want ($(cat "$work/err"))"
}

printf '[ENUMKEYS]\r\nK0=SETUP_CAPTION\r\nK1=odd_key\r\nK2=-\r\n[ENGLISH]\r\nSETUP_CAPTION=Setup\\ttab\r\nODD_KEY=a\\\\nc\r\n' >"$work/small.ini"

expect_status 0 "build" "$zbpack" dict build "$work/small.ini" "$work/small.dic"
[ "$(stat -c %s "$work/small.dic")" -eq $(( $(stat -c %s "$work/small.ini") + 8 )) ] ||
    fail "the container is not 8 bytes longer than its text"

expect_status 0 "unpack" "$zbpack" dict unpack "$work/small.dic" "$work/back.ini"
cmp -s "$work/small.ini" "$work/back.ini" || fail "unpack does not give the text back"

# The table in order, escapes printed back: "\t" became blank + tab, "\\n" a backslash, blank, LF.
expect_status 0 "strings" "$zbpack" strings "$work/small.dic" ENGLISH
printf 'SETUP_CAPTION=Setup \\ttab\nODD_KEY=a\\\\ \\nc\n' >"$work/want"
cmp -s "$work/want" "$work/out" || fail "strings table: $(cat "$work/out")"
expect_status 0 "strings lookups" "$zbpack" strings "$work/small.dic" ENGLISH setup_caption missing
printf 'setup_caption=Setup \\ttab\nmissing=MISSING: String Error\n' >"$work/want"
cmp -s "$work/want" "$work/out" || fail "strings lookups: $(cat "$work/out")"
# A language without a section: every text is the reader's default.
expect_status 0 "strings, no section" "$zbpack" strings "$work/small.dic" FRENCH SETUP_CAPTION
[ "$(cat "$work/out")" = "SETUP_CAPTION=String Error!" ] || fail "no section: $(cat "$work/out")"
# A text only in a second [ENGLISH] is what the setup never sees: strings shows the same.
{ cat "$work/small.ini"; printf '[english]\r\nLATE=late\r\n'; } >"$work/twice.ini"
sed -i 's/^K2=-/K2=LATE/' "$work/twice.ini"
expect_status 0 "build twice" "$zbpack" dict build "$work/twice.ini" "$work/twice.dic"
expect_status 0 "strings, repeated section" "$zbpack" strings "$work/twice.dic" ENGLISH LATE
[ "$(cat "$work/out")" = "LATE=String Error!" ] || fail "repeated section: $(cat "$work/out")"
expect_status 1 "check, repeated section" "$zbpack" dict check "$work/twice.ini"
grep -q "\[ENGLISH\] is given again" "$work/out" "$work/err" || fail "check: $(cat "$work/out")"

# One byte appended: the length test fails and OUT.INI is left empty.
cp "$work/small.dic" "$work/long.dic" && printf 'x' >>"$work/long.dic"
expect_status 1 "unpack, byte appended" "$zbpack" dict unpack "$work/long.dic" "$work/long.ini"
grep -q "length test failed" "$work/err" || fail "no length message: $(cat "$work/err")"
[ -f "$work/long.ini" ] && [ ! -s "$work/long.ini" ] || fail "OUT.INI is not left empty"
expect_status 1 "strings, byte appended" "$zbpack" strings "$work/long.dic" ENGLISH
grep -q "ZarBelPC Error: Error while opening DICT.DIC" "$work/err" ||
    fail "strings does not show the setup's message: $(cat "$work/err")"
[ ! -s "$work/out" ] || fail "strings printed a table for a damaged container"

# One byte changed: the checksum test fails and OUT.INI holds the whole text.
cp "$work/small.dic" "$work/bad.dic"
printf '\x00' | dd of="$work/bad.dic" bs=1 seek=20 conv=notrunc status=none
expect_status 1 "unpack, byte changed" "$zbpack" dict unpack "$work/bad.dic" "$work/bad.ini"
grep -q "checksum test failed" "$work/err" || fail "no checksum message: $(cat "$work/err")"
[ "$(stat -c %s "$work/bad.ini")" -eq "$(stat -c %s "$work/small.ini")" ] ||
    fail "OUT.INI does not hold the whole payload"

expect_status 1 "unpack, no container" "$zbpack" dict unpack "$work/none.dic" "$work/none.ini"
[ ! -e "$work/none.ini" ] || fail "unpack made OUT.INI without a container"

# check: problems on stdout with their lines, exit 1; the shipped text is clean.
expect_status 1 "check, small" "$zbpack" dict check "$work/small.ini"
grep -q "small.ini: SETUP_INSTALL is not in the \[ENUMKEYS\] list" "$work/out" ||
    fail "check misses a key of the setup: $(cat "$work/out")"
grep -q "small.ini: no \[ITALIANO\] section" "$work/out" ||
    fail "check misses a language: $(cat "$work/out")"
printf '[ENUMKEYS]\r\nK0=SETUP_CAPTION\r\nK1=-\r\nK5=LATE\r\n' >"$work/late.ini"
expect_status 1 "check, late key" "$zbpack" dict check "$work/late.ini"
grep -q "late.ini:4: K5 comes after the end of the list at K1" "$work/out" ||
    fail "check misses an unread key: $(cat "$work/out")"
expect_status 0 "check, shipped" "$zbpack" dict check "$source_ini"
[ ! -s "$work/out" ] || fail "the shipped dictionary has problems: $(cat "$work/out")"

# Usage and help.
expect_status 2 "dict without action" "$zbpack" dict
expect_status 2 "dict build, one argument" "$zbpack" dict build "$work/small.ini"
expect_status 2 "strings without language" "$zbpack" strings "$work/small.dic"
expect_status 2 "strings, long language" "$zbpack" strings "$work/small.dic" \
    "$(printf 'L%.0s' $(seq 63))"
for args in "dict --help" "dict build --help" "strings --help" "--help"; do
    # shellcheck disable=SC2086
    expect_status 0 "$args" "$zbpack" $args
    [ -s "$work/out" ] || fail "$args prints nothing"
done

ls /tmp | grep -q '^zbpack-strings-' && fail "strings left its scratch folder behind"
[ "$failures" -eq 0 ] && echo "zbpack dict/strings: all checks passed"
exit $((failures > 0))
