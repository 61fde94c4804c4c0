#!/usr/bin/env bash
# Checks the built quorvane.exe as a file: GUI subsystem, the expected word size, only Windows' own DLLs
# imported, the version resource, and a manifest asking for Common Controls 6 without an execution level.
set -uo pipefail
program=$1 expected_magic=$2 # PE32 for the 32-bit program, PE32+ for the 64-bit build
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

headers=$(x86_64-w64-mingw32-objdump -p "$program") || { echo "FAIL: cannot read $program"; exit 1; }
grep -E '^Magic' <<<"$headers" | grep -qF "($expected_magic)" || fail "not a $expected_magic file"
grep -qE '^Subsystem.*\(Windows GUI\)' <<<"$headers" || fail "not a GUI-subsystem program"

allowed='^(kernel32|user32|gdi32|comctl32|ole32|oleaut32|shell32|advapi32|msvcrt|uuid)\.dll$'
while read -r dll; do
    grep -qiE "$allowed" <<<"$dll" || fail "imports $dll, which is not one of Windows' own DLLs"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")

strings16=$(strings -el "$program")
for pair in "ProductName:Quorvane" "FileVersion:1.0.0.0" "ProductVersion:1.0.0.0"; do
    key=${pair%%:*} value=${pair#*:}
    grep -A1 -x "$key" <<<"$strings16" | tail -n1 | grep -qx "$value" || fail "version resource lacks $key $value"
done

manifest=$(strings "$program" | sed -n '/<assembly/,/<\/assembly>/p')
grep -q 'Microsoft.Windows.Common-Controls' <<<"$manifest" || fail "manifest does not ask for Common Controls 6"
grep -q 'version="6.0.0.0"' <<<"$manifest" || fail "manifest asks for another Common Controls version"
grep -q 'requestedExecutionLevel' <<<"$manifest" && fail "manifest declares an execution level"

if [ $failures -eq 0 ]; then echo "program file checks passed"; fi
exit $failures
