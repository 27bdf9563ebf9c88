#!/usr/bin/env bash
# Checks the Windows build of the plug-in: a PE32 DLL for i386 that exports
# exactly ZtDLLFunc, ASEImport and MAXImport, undecorated, imports only
# Windows system DLLs and carries its resources: the icon group "MAX",
# dialog 1 and the "RTF" resource "INFO".
set -euo pipefail

dll=${1:-build/windows/bin/maxaseimport.dll}
objdump=i686-w64-mingw32-objdump
fail() { echo "check_dll: $*" >&2; exit 1; }

[ -f "$dll" ] || fail "$dll not found"
file -b "$dll" | grep -q '^PE32 executable (DLL).*Intel 80386' || fail "not a PE32 DLL for i386: $(file -b "$dll")"

dump=$("$objdump" -p "$dll")
exports=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/ {print $NF}' | sort -u | tr '\n' ' ')
[ "$exports" = "ASEImport MAXImport ZtDLLFunc " ] || fail "exports are '$exports', not exactly the three names"

# Windows' own DLLs: the kernel, user interface, OLE, the C runtime and the API sets.
allowed='^(kernel32|user32|gdi32|ole32|oleaut32|advapi32|shell32|comctl32|comdlg32|msvcrt|ntdll|riched20|riched32|api-ms-win-.*)\.dll$'
while read -r name; do
    lower=$(echo "$name" | tr 'A-Z' 'a-z')
    [[ "$lower" =~ $allowed ]] || fail "imports $name, which is not part of Windows"
done < <(echo "$dump" | awk '/DLL Name:/ {print $3}')

"$objdump" -h "$dll" | grep -q '\.rsrc' || fail "no resource section"
resources=$(python3 "$(dirname "$0")/dll_resources.py" "$dll")
for wanted in "14 MAX" "5 1" "RTF INFO"; do
    echo "$resources" | grep -qx "$wanted" || fail "no resource '$wanted' (type and name)"
done
echo "check_dll: $dll is a PE32 i386 DLL exporting exactly ASEImport, MAXImport, ZtDLLFunc; imports: $(echo "$dump" | awk '/DLL Name:/ {printf "%s ", $3}'); resources: $(echo "$resources" | tr '\n' ',' | sed 's/,$//')"
