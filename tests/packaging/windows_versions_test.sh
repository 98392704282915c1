#!/usr/bin/env bash
# Every function a program imports exists on the oldest Windows its manifest lists. The
# C runtime and the C++ library can pull in functions of Windows 8 or 10 without a
# line of ours changing, and Windows 7 then refuses to load the program with a message
# that names no program of ours. The table beside this script gives, per imported
# function, the first Windows version that has it and where that comes from; a
# function it does not list fails too, so a new import is looked up once.
#   windows_versions_test.sh MANIFEST TABLE EXE...   (x64 and x86 builds alike)
set -euo pipefail
manifest="$1" table="$2"
shift 2
fail=0
problem() { printf 'FAIL: %s\n' "$*" >&2; fail=1; }

# The oldest version the manifest's supportedOS entries name, by the table's os lines.
oldest="$(grep -o 'supportedOS Id="{[^}]*}"' "$manifest" | grep -o '{[^}]*}' |
  while read -r guid; do
    awk -v g="$guid" '$1 == "os" && tolower($2) == tolower(g) { print $3 " " $4 " " $5 " " $6; found = 1 }
                      END { if (!found) print "unknown " g }' "$table"
  done | sort -t. -k1,1n -k2,2n | head -1)"
case "$oldest" in
  unknown*|"") echo "FAIL: the manifest names a Windows version the table does not know: ${oldest#unknown }" >&2; exit 1 ;;
esac
oldest_version="${oldest%% *}" oldest_name="${oldest#* }"
oldest_name="${oldest_name%% }"

for exe in "$@"; do
  [ -s "$exe" ] || { problem "no program at $exe"; continue; }
  # The x86-64 objdump reads both formats; the x86 one reads the 32-bit file as its own.
  objdump=x86_64-w64-mingw32-objdump build=x64
  if "$objdump" -f "$exe" | grep -q 'file format pei-i386'; then objdump=i686-w64-mingw32-objdump build=x86; fi
  # One "DLL FUNCTION" line per import; an import by ordinal alone reads "DLL #N".
  imports="$("$objdump" -p "$exe" | awk '
    /^The Import Tables/ { inside = 1; next }
    /^The (Export|Function|Delay)/ { inside = 0 }
    inside && /DLL Name:/ { dll = $3; next }
    inside && dll != "" && /^\t[0-9a-f]+\t/ { if (NF >= 3) print dll, $3; else print dll, "#" $2 }
  ')"
  [ -n "$imports" ] || { problem "$exe: no imports read (has objdump's output changed?)"; continue; }
  while read -r dll function; do
    entry="$(awk -v d="$dll" -v f="$function" 'tolower($1) == tolower(d) && $2 == f { print $3; exit }' "$table")"
    if [ -z "$entry" ]; then
      problem "$(basename "$exe") ($build) imports $dll $function, which the table $table does not list:" \
        "add it with the first Windows version that has it"
    elif [ "$(printf '%s\n%s\n' "$entry" "$oldest_version" | sort -t. -k1,1n -k2,2n | tail -1)" != "$oldest_version" ]; then
      problem "$(basename "$exe") ($build) imports $dll $function, which came with Windows version $entry;" \
        "the manifest supports $oldest_name ($oldest_version), where the program would not load"
    fi
  done <<<"$imports"
  printf '%s (%s): %d imports checked against %s (%s)\n' "$exe" "$build" "$(wc -l <<<"$imports")" "$oldest_name" "$oldest_version"
done
exit $fail
