#!/usr/bin/env bash
# Plants each fault of the mutation catalogue in turn, builds and runs the test program
# meant to catch it, and restores the file; prints each result and how many were caught.
#
#   run.sh [CATALOGUE] [ID...]     (called by ./dev mutate, which sets up Wine and the trees)
#
# The catalogue is tab-separated, one fault a line: id, file (from the repository's root),
# the exact text, its replacement, the test program (a target in out/win64, or host:NAME for
# one in out/host) and an optional GoogleTest filter. In the two texts \n stands for a line
# break, \t for a tab and \\ for a backslash. Lines starting with # are comments.
set -uo pipefail

ROOT="${ZL_ROOT:?run through ./dev mutate}"
OUT="${ZL_OUT:?run through ./dev mutate}"
CATALOGUE="$ROOT/tools/mutate/catalogue.tsv"
if [ $# -gt 0 ] && [ -f "$1" ]; then CATALOGUE="$1"; shift; fi
WANTED=("$@")
TEST_TIMEOUT="${ZL_MUTATE_TIMEOUT:-900}"
LOG="$OUT/mutate"
mkdir -p "$LOG"

say() { printf '[mutate] %s\n' "$*" >&2; }

# The file being changed and its original bytes, put back on every way out.
PLANTED=
BACKUP="$LOG/.original"
restore() {
  if [ -n "$PLANTED" ]; then
    # A plain copy, so the file is newer than what was built from the fault.
    cat "$BACKUP" > "$PLANTED"
    PLANTED=
  fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

# Plants one fault: replaces the exact text, which must occur once, in the file.
plant() {
  python3 - "$1" "$2" "$3" <<'PY'
import sys
path, text, replacement = sys.argv[1:4]
def unescape(s):
    out, i = [], 0
    while i < len(s):
        if s[i] == '\\' and i + 1 < len(s) and s[i + 1] in 'nt\\':
            out.append({'n': '\n', 't': '\t', '\\': '\\'}[s[i + 1]]); i += 2
        else:
            out.append(s[i]); i += 1
    return ''.join(out)
text, replacement = unescape(text), unescape(replacement)
with open(path, encoding='utf-8', newline='') as f:
    source = f.read()
found = source.count(text)
if found != 1:
    sys.stderr.write(f"the text occurs {found} times in {path}, not once: the code moved\n")
    sys.exit(1)
with open(path, 'w', encoding='utf-8', newline='') as f:
    f.write(source.replace(text, replacement))
PY
}

# Builds a test program and runs it (with a filter); 0 when every test passed.
run_test() {
  local program="$1" filter="$2" log="$3" tree=win64 name="$1" args=()
  case "$program" in host:*) tree=host; name="${program#host:}" ;; esac
  cmake --build "$OUT/$tree" --target "$name" -j "$(nproc 2>/dev/null || echo 2)" >"$log.build" 2>&1 || return 2
  [ -n "$filter" ] && args=(--gtest_filter="$filter")
  if [ "$tree" = host ]; then
    timeout "$TEST_TIMEOUT" "$OUT/host/bin/$name" "${args[@]}" >"$log" 2>&1 </dev/null
  else
    LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 timeout "$TEST_TIMEOUT" wine64 "$OUT/win64/bin/$name.exe" "${args[@]}" \
      >"$log" 2>&1 </dev/null
  fi
}

total=0 caught=0 survived=() broken=()
# Fields split at a separator that is no white space, so an empty field stays a field.
while IFS=$'\037' read -r id file text replacement program filter || [ -n "$id" ]; do
  case "$id" in ''|'#'*) continue ;; esac
  if [ ${#WANTED[@]} -gt 0 ] && [[ ! " ${WANTED[*]} " == *" $id "* ]]; then continue; fi
  total=$((total + 1))
  if [ -z "$program" ] || [ ! -f "$ROOT/$file" ]; then
    say "$id: bad entry (file $file, program ${program:-none})"; broken+=("$id"); continue
  fi
  cp "$ROOT/$file" "$BACKUP"
  if ! plant "$ROOT/$file" "$text" "$replacement"; then
    say "$id: could not plant in $file"; broken+=("$id"); continue
  fi
  PLANTED="$ROOT/$file"
  status=0
  run_test "$program" "${filter:-}" "$LOG/$id.log" || status=$?
  restore
  case $status in
    0) say "$id: SURVIVED ($program ${filter:-}) -- $file"; survived+=("$id") ;;
    2) say "$id: the planted fault does not build (out/mutate/$id.log.build)"; broken+=("$id") ;;
    *) say "$id: caught by $program ${filter:-}"; caught=$((caught + 1)) ;;
  esac
done < <(tr '\t' '\037' < "$CATALOGUE")

say "caught $caught of $total planted faults"
[ ${#survived[@]} -eq 0 ] || say "survived: ${survived[*]} (their test logs are in out/mutate/)"
[ ${#broken[@]} -eq 0 ] || say "entries to fix: ${broken[*]}"
[ ${#survived[@]} -eq 0 ] && [ ${#broken[@]} -eq 0 ]
