#!/usr/bin/env bash
# zbpack archive as a release engineer uses it: exact bytes, order, refusals that leave OUT
# alone, listing, verification and extraction with the setup's reader, and exit statuses.
# usage: zbpack-archive-test.sh ZBPACK
set -u
zbpack=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
[ -x "$zbpack" ] || { echo "no zbpack at $1" >&2; exit 1; }
# A runaway writer must not fill the disk: no file above 100 MB.
ulimit -f 102400
work=$(mktemp -d /tmp/zbpack-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect STATUS COMMAND...: runs the command (stdout to out.txt, stderr to err.txt).
expect() {
    local want=$1
    shift
    "$@" >out.txt 2>err.txt
    local got=$?
    if [ "$got" != "$want" ]; then
        fail "exit $got, wanted $want: $*"
        sed 's/^/    /' err.txt >&2
    fi
}

# A record as the setup reads it, written with printf: D, H, the name field (the name cut to
# it, NUL-filled), the content.
record() {  # NAME CONTENT [H]
    local name=$1 content=$2 h=${3:-264}
    local d=${#content} field=$((${3:-264} - 8))
    [ "$field" -lt 0 ] && field=0
    name=${name:0:$field}
    printf "\\x$(printf %02x $((d & 255)))\\x$(printf %02x $((d >> 8 & 255)))\\x00\\x00"
    printf "\\x$(printf %02x $((h & 255)))\\x$(printf %02x $((h >> 8 & 255)))\\x00\\x00"
    printf '%s' "$name"
    if [ $((field - ${#name})) -gt 0 ]; then
        head -c $((field - ${#name})) /dev/zero
    fi
    printf '%s' "$content"
}

mkdir in
printf 'abc' >in/A.TXT

# The 267-byte example, byte for byte.
record A.TXT abc >expected.dat
[ "$(stat -c %s expected.dat)" = 267 ] || fail "the test's own example is not 267 bytes"
expect 0 "$zbpack" archive create one.dat in/A.TXT
cmp -s expected.dat one.dat || fail "create: A.TXT/abc is not the 267-byte example"
grep -q '1 entries, 3 content bytes, 267 bytes' out.txt || fail "create: summary: $(cat out.txt)"

# Records in ascending order of upper-cased names, whatever the order of the arguments,
# and the same bytes every time.
mkdir sorted
printf 'b' >sorted/b.txt
printf 'C' >sorted/C.TXT
printf '_' >sorted/_u
printf 'Z' >sorted/Zeta
: >sorted/empty
expect 0 "$zbpack" archive create s1.dat sorted/Zeta sorted/b.txt sorted/empty sorted/_u sorted/C.TXT
expect 0 "$zbpack" archive create s2.dat sorted/C.TXT sorted/_u sorted/empty sorted/b.txt sorted/Zeta
cmp -s s1.dat s2.dat || fail "create: the output depends on the order of the arguments"
expect 0 "$zbpack" archive list s1.dat
printf '1\tb.txt\n1\tC.TXT\n0\tempty\n1\tZeta\n1\t_u\n' >want.txt
cmp -s want.txt out.txt || fail "list: $(cat out.txt)"

# Refusals: exit 2, a message naming the file, no OUT or an untouched OUT.
printf 'x' >in/a.txt
head -c 15000001 /dev/zero >in/huge.bin
head -c 15000000 /dev/zero >in/largest.bin
# (Names over 255 characters are refused too, but no Linux file system can hold one.)
# Windows folds the Windows-1252 accented letters as well.
printf 'e' >in/$'caf\xE9.txt' && printf 'E' >in/$'CAF\xC9.TXT'
for args in "in/A.TXT in/a.txt" in/$'caf\xE9.txt'\ in/$'CAF\xC9.TXT' "in/huge.bin" "in/" \
    "in/A.TXT in/.." "in/A.TXT in"; do
    rm -f new.dat
    expect 2 "$zbpack" archive create new.dat $args
    [ -e new.dat ] && fail "create $args left new.dat"
    cp one.dat keep.dat
    expect 2 "$zbpack" archive create keep.dat $args
    cmp -s one.dat keep.dat || fail "create $args changed an existing OUT"
    [ -s err.txt ] || fail "create $args: no message"
done
grep -q 'huge.bin' <("$zbpack" archive create x.dat in/huge.bin 2>&1) ||
    fail "the size refusal does not name the file"
# Names Linux stores but Windows does not store as given: each one refused and named in one run.
mkdir win
for name in CON nul.txt LPT1.log RESOURCE.DAT. 'a?b' 'trail ' $'COM\xB9'; do
    printf 'x' >"win/$name"
done
expect 2 "$zbpack" archive create win.dat in/A.TXT win/*
[ -e win.dat ] && fail "create with Windows-refused names wrote win.dat"
for name in CON nul.txt LPT1.log RESOURCE.DAT. 'a?b' 'trail ' $'COM\xB9'; do
    grep -qF "win/$name: the name '$name'" err.txt || fail "create does not name '$name'"
done
expect 0 "$zbpack" archive create max.dat in/largest.bin
expect 0 "$zbpack" archive verify max.dat
ls ./*.tmp-* >/dev/null 2>&1 && fail "a temporary file was left behind"
# A link planted under the temporary name is neither followed nor taken over.
printf 'precious' >victim.txt
bash -c 'ln -s victim.txt planted.dat.tmp-$$ && exec "$0" archive create planted.dat in/A.TXT' \
    "$zbpack" >out.txt 2>err.txt || fail "create beside a planted link: $(cat err.txt)"
[ "$(cat victim.txt)" = precious ] || fail "create wrote through a planted link"
cmp -s one.dat planted.dat || fail "create beside a planted link: wrong output"
rm -f planted.dat.tmp-*

# verify: good archives pass, bad names and damage fail without writing anything.
{ record GOOD.TXT good; record '..\EVIL.TXT' evil; record 'C:X' x; record CON con;
    record RESOURCE.DAT. dot; record LPT1.log lpt; record 'a?b' q; record $'esc\e[2J' esc
    record LAST.TXT last; } >badnames.dat
expect 1 "$zbpack" archive verify badnames.dat
for bad in 'record 2 (offset 268).*EVIL' "record 3 .*'C:X'" "record 4 .*'CON' is a device" \
    "record 5 .*'RESOURCE.DAT.' ends in a dot" "record 6 .*'LPT1.log' is a device" \
    "record 7 .*'a?b' holds a character" "record 8 .*'esc\\\\x1B\[2J' holds"; do
    grep -q "$bad" err.txt || fail "verify does not name $bad: $(cat err.txt)"
done
[ "$(grep -c 'record' err.txt)" = 7 ] || fail "verify names good records: $(cat err.txt)"
expect 0 "$zbpack" archive list badnames.dat
grep -qF '3	esc\x1B[2J' out.txt || fail "list does not escape a name: $(cat -v out.txt)"
{ cat one.dat; printf '\001\002\003'; } >leftover.dat
head -c 300 s1.dat >cut.dat
record X x 7 >shortheader.dat
record X x $((8 + 1025)) >longfield.dat
for damaged in leftover.dat cut.dat shortheader.dat longfield.dat; do
    expect 1 "$zbpack" archive verify "$damaged"
    grep -q 'damaged' err.txt || fail "verify $damaged: $(cat err.txt)"
    expect 1 "$zbpack" archive list "$damaged"
done
: >empty.dat
expect 0 "$zbpack" archive verify empty.dat
expect 0 "$zbpack" archive verify s1.dat

# extract: the setup's reader, the archive kept, the setup's messages on stderr.
mkdir out
expect 0 "$zbpack" archive extract s1.dat out
diff -r sorted out >/dev/null || fail "extract: out differs from the inputs"
[ -f s1.dat ] || fail "extract removed the archive"
mkdir evil evil/inner
expect 1 "$zbpack" archive extract badnames.dat evil/inner
[ -e evil/EVIL.TXT ] && fail "extract wrote outside the folder"
[ "$(cat evil/inner/GOOD.TXT)" = good ] || fail "extract skipped the good entry"
[ "$(cat evil/inner/LAST.TXT)" = last ] || fail "extract stopped at a refused name"
[ "$(ls evil/inner | tr '\n' ' ')" = "GOOD.TXT LAST.TXT " ] || fail "extract wrote $(ls evil/inner)"
for bad in CON RESOURCE.DAT. LPT1.log 'a?b'; do
    grep -qF "ERRORE DI SCRITTURA: evil/inner\\$bad" err.txt || fail "extract does not name $bad"
done
grep -q 'ERRORE DI SCRITTURA: evil/inner\\\.\.\\EVIL.TXT' err.txt ||
    fail "extract: bad-name message: $(cat err.txt)"
grep -qF 'evil/inner\esc\x1B[2J' err.txt || fail "extract does not escape a name: $(cat -v err.txt)"
mkdir partial
expect 1 "$zbpack" archive extract cut.dat partial
grep -q 'ZarBelPC - Setup: RESOURCE.DAT is damaged' err.txt || fail "extract: $(cat err.txt)"
[ -f cut.dat ] || fail "extract removed a damaged archive"
expect 2 "$zbpack" archive extract s1.dat missing-folder
expect 1 "$zbpack" archive extract missing.dat out
grep -q 'Impossibile accedere al file RESOURCE.DAT' err.txt || fail "extract: $(cat err.txt)"

# Usage and help on every level.
expect 0 "$zbpack" --help
grep -q archive out.txt || fail "zbpack --help does not list archive"
for level in "" create list verify extract; do
    expect 0 "$zbpack" archive $level --help
    [ -s out.txt ] || fail "archive $level --help printed nothing"
done
expect 2 "$zbpack" archive
expect 2 "$zbpack" archive frobnicate
expect 2 "$zbpack" archive create only-out.dat
expect 2 "$zbpack" archive list
expect 2 "$zbpack" archive verify a b
expect 2 "$zbpack" archive extract s1.dat

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "zbpack archive: all checks passed"
