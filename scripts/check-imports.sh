#!/usr/bin/env bash
# Checks what KOV.asi imports: exactly the six decorated script hook names from ScriptHookV.dll,
# and otherwise only KERNEL32.dll, USER32.dll and the system C runtime. Prints the file size.
# Usage: check-imports.sh OBJDUMP KOV.asi
set -euo pipefail
objdump=$1 dll=$2

expected_hook_names=(
  '?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z'
  '?scriptUnregister@@YAXPEAUHINSTANCE__@@@Z'
  '?scriptWait@@YAXK@Z'
  '?nativeInit@@YAX_K@Z'
  '?nativePush64@@YAX_K@Z'
  '?nativeCall@@YAPEA_KXZ'
)
size_limit=204800

# objdump -p lists each imported DLL as "DLL Name: X" followed by "hint name" lines.
imports=$("$objdump" -p "$dll" | awk '
  /^The Import Tables/ { on = 1; next }
  on && /^The .* Tables/ { on = 0 }
  on && /DLL Name:/ { name = $3; print name " -"; next }
  on && name != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ { print name " " $3 }')
[ -n "$imports" ] || { echo "FAIL: no import table found in $dll"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

while read -r module _; do
  case "${module,,}" in
    scripthookv.dll|kernel32.dll|user32.dll|msvcrt.dll|ucrtbase.dll|api-ms-win-crt-*.dll) ;;
    *) fail "imports from $module" ;;
  esac
done < <(printf '%s\n' "$imports" | awk '$2 == "-"')

actual_hook_names=$(printf '%s\n' "$imports" | awk 'tolower($1) == "scripthookv.dll" && $2 != "-" { print $2 }' | sort)
wanted_hook_names=$(printf '%s\n' "${expected_hook_names[@]}" | sort)
if [ "$actual_hook_names" != "$wanted_hook_names" ]; then
  fail "ScriptHookV.dll imports differ from the six decorated names:"
  diff <(printf '%s\n' "$wanted_hook_names") <(printf '%s\n' "$actual_hook_names") | sed 's/^/    /' || true
fi

size=$(stat -c %s "$dll")
echo "$dll: $size bytes ($(( (size + 1023) / 1024 )) KB)"
printf '%s\n' "$imports" | awk '$2 == "-" { printf "  imports from %s\n", $1 }'
[ "$size" -lt "$size_limit" ] || fail "$size bytes is not under $size_limit"

[ "$failures" -eq 0 ] && echo "PASS: imports and size" || exit 1
