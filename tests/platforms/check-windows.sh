#!/usr/bin/env bash
# Checks what the Windows build does differently from the Linux one, running Trelba.exe
# under wine: names outside ASCII, reports replaced with nothing left behind (a read-only
# one too), binary standard streams, refused xz/bzip2/zstd input, a folder at a report
# name, and Ctrl-C removing the temporary files. (Report bytes against the Linux build,
# on every real file and code: tests/platforms/compare-reports.sh.)
#
#   tests/platforms/check-windows.sh path/to/Trelba.exe
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
exe=$(realpath "$1")
wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
[ -n "$wine" ] || wine=$(command -v wine)
export WINEPREFIX=${WINEPREFIX:-/tmp/trelba-wine}
export WINEDEBUG=${WINEDEBUG:--all}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
trelba() { "$wine" "$exe" "$@"; }
# Nothing but the given names in the folder (no temporary or set-aside file left).
only() {
  local expected actual
  expected=$(printf '%s\n' "$@" | sort)
  actual=$(ls -A | sort)
  [ "$actual" = "$expected" ] || fail "$check: folder holds [$(echo $actual)], not [$(echo $expected)]"
}
example="$source_dir/examples/Ecoli_HighlyExpressedGenes.fa"

check="a name outside ASCII"
mkdir names && cd names
cp "$example" plain.fa && cp "$example" 'génome_Øst.fa'
echo earlier > 'génome_Øst.fa.ok'
trelba plain.fa 2 && trelba 'génome_Øst.fa' 2 || fail "$check: status $?"
for suffix in freq iik ok; do
  cmp -s "plain.fa.$suffix" "génome_Øst.fa.$suffix" || fail "$check: .$suffix differs"
done
only plain.fa plain.fa.freq plain.fa.iik plain.fa.ok \
  'génome_Øst.fa' 'génome_Øst.fa.freq' 'génome_Øst.fa.iik' 'génome_Øst.fa.ok'

check="standard input and output in binary mode"
trelba --no-reports -T - - < plain.fa > piped.tsv || fail "$check: status $?"
trelba --no-reports -T file.tsv plain.fa || fail "$check: status $?"
cmp -s piped.tsv file.tsv || fail "$check: the table on standard output differs"
! grep -q $'\r' piped.tsv || fail "$check: carriage returns in the table"
trelba missing.fa 2> error.txt && fail "$check: a missing file succeeded"
[ "$(head -n 1 error.txt)" = "Error opening file: missing.fa" ] && ! grep -q $'\r' error.txt ||
  fail "$check: message [$(od -c error.txt | head -2)]"
cd ..

check="a read-only earlier report"
mkdir read-only && cd read-only
cp "$example" in.fa && echo earlier > in.fa.ok && chmod a-w in.fa.ok
trelba in.fa || fail "$check: status $?"
[ "$(cat in.fa.ok)" != earlier ] || fail "$check: not replaced"
only in.fa in.fa.freq in.fa.iik in.fa.ok
cd ..

check="a folder at a report name"
mkdir folder && cd folder
cp "$example" in.fa && echo earlier > in.fa.iik && mkdir in.fa.ok
status=0
trelba in.fa 2> error.txt || status=$?
[ "$status" = 255 ] || fail "$check: status $status"
[ "$(cat error.txt)" = "Error opening file: in.fa.ok (Is a directory)" ] ||
  fail "$check: [$(cat error.txt)]"
[ "$(cat in.fa.iik)" = earlier ] || fail "$check: the earlier report changed"
only in.fa in.fa.iik in.fa.ok error.txt
cd ..

check="compressed input this build does not read"
mkdir compressed && cd compressed
/usr/bin/env python3 - "$example" <<'PY'
import bz2, lzma, sys
text = open(sys.argv[1], "rb").read()
open("in.xz", "wb").write(lzma.compress(text))
open("in.bz2", "wb").write(bz2.compress(text))
# A zstd frame's magic number is all the program looks at before refusing it.
open("in.zst", "wb").write(b"\x28\xb5\x2f\xfd" + text)
PY
for file in in.xz:xz in.bz2:bzip2 in.zst:zstd; do
  status=0
  trelba "${file%%:*}" 2> error.txt || status=$?
  expected="Error reading file: ${file%%:*} (${file##*:}-compressed; this build of Trelba reads plain and gzip input only)"
  [ "$status" = 255 ] && [ "$(cat error.txt)" = "$expected" ] ||
    fail "$check: ${file%%:*}: status $status, [$(cat error.txt)]"
done
gzip -c "$example" > in.gz
trelba -o gz in.gz || fail "$check: gzip input refused"
only in.xz in.bz2 in.zst in.gz error.txt gz.freq gz.iik gz.ok
cd ..

check="Ctrl-C during a run"
mkdir interrupted && cd interrupted
echo earlier > p.ok
( (head -c 100000 "$example"; sleep 6) | trelba -o p - && echo 0 > status || echo $? > status ) &
for _ in $(seq 50); do
  [ "$(ls -A | grep -c '\.tmp$')" = 3 ] && break
  sleep 0.2
done
pid=""
for cmdline in /proc/[0-9]*/cmdline; do  # without procps: wine shows the program's own
  if { tr '\0' ' ' < "$cmdline"; } 2>/dev/null | grep -q '^[^ ]*Trelba\.exe -o p - '; then
    pid=${cmdline#/proc/}
    pid=${pid%/cmdline}
  fi
done
if [ -z "$pid" ]; then
  fail "$check: the run was not found"
else
  kill -INT "$pid"
  wait
  # The low byte of STATUS_CONTROL_C_EXIT (0xC000013A).
  [ "$(cat status)" = 58 ] || fail "$check: status $(cat status)"
  [ "$(cat p.ok)" = earlier ] || fail "$check: the earlier report changed"
  only p.ok status
fi
cd ..

if [ "$failures" != 0 ]; then
  echo "$failures Windows check(s) failed" >&2
  exit 1
fi
echo "Windows checks passed under wine ($wine)"
