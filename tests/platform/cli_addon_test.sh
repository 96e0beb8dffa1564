#!/bin/sh
# trilane-cli addon list / extract against the fixture libraries.
#   $1 trilane-cli   $2 fixture folder (addons/, dll/payload/)
set -u
cli=$1
fx=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for dll in mixed64.dll mixed32.dll; do
  out=$("$cli" addon list "$fx/addons/$dll") || fail "list $dll"
  for want in "RCDATA +CH02B +[0-9]+" "BITMAP +CH02 " "JPEG +FONG " "WAVE +WDING_1 " "RCDATA +#5 +4$"; do
    echo "$out" | grep -Eq "$want" || fail "$dll: no line matching '$want' in: $out"
  done
  "$cli" addon extract "$fx/addons/$dll" --type rcdata --name ch02b --out "$work/$dll.png" >/dev/null ||
    fail "extract from $dll"
  cmp -s "$work/$dll.png" "$fx/dll/payload/mixed_ch02b.png" || fail "$dll: extracted bytes differ"
done
"$cli" addon list "$fx/addons/QorCGraph1.dll" --json | grep -q '"type":"JPEG","name":"BGLILU"' ||
  fail "json listing"

# Errors: exit 1 for bad files and missing resources, 2 for bad arguments; no file is left.
printf 'MZ not a library' >"$work/bad.dll"
"$cli" addon list "$work/bad.dll" 2>/dev/null; [ $? -eq 1 ] || fail "bad library not refused"
"$cli" addon extract "$fx/addons/mixed64.dll" --type WAVE --name CH02B --out "$work/none" 2>/dev/null
[ $? -eq 1 ] || fail "missing resource not refused"
[ ! -e "$work/none" ] || fail "a file was written for a missing resource"
"$cli" addon extract "$fx/addons/mixed64.dll" --type rcdata --name ch02b --out "$work/mixed64.dll.png" 2>/dev/null
[ $? -eq 1 ] || fail "existing output overwritten without --force"
"$cli" addon extract "$fx/addons/mixed64.dll" --name ch02b --out "$work/x" 2>/dev/null
[ $? -eq 2 ] || fail "missing --type accepted"
"$cli" addon 2>/dev/null; [ $? -eq 2 ] || fail "missing subcommand accepted"
echo ok
