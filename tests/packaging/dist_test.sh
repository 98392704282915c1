#!/usr/bin/env bash
# The x64 distribution zip as a user gets it: it holds the program and the read-me (with
# a byte-order mark and CRLF lines, for Notepad), and the program unpacked from it into
# a new folder starts in a new, empty Wine prefix (nothing registered, nothing of the
# development prefix), shows its main window next to a running QQ client, and ends
# with exit code 0 when the window is closed.
#   dist_test.sh ZIP BIN_DIR WORK_DIR   (BIN_DIR: the x64 build's bin, for QQ.exe and zl_drive.exe)
set -euo pipefail
zip="$1" bin="$2" work="$3"
fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }

[ -s "$zip" ] || fail "no zip at $zip"
rm -rf "$work"
mkdir -p "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip")
name="$(basename "$zip" .zip)"
listing="$(cd "$work/unpacked" && find . -type f | sort | tr '\n' ' ')"
[ "$listing" = "./$name/README.txt ./$name/zanlark.exe " ] || fail "the zip holds: $listing"
head -c 3 "$work/unpacked/$name/README.txt" | od -An -tx1 | grep -q 'ef bb bf' || fail "README.txt has no byte-order mark"
if grep -q $'[^\r]$' "$work/unpacked/$name/README.txt"; then fail "a README.txt line ends without CR"; fi

export WINEPREFIX="$work/wine"
w64() { LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 wine64 "$@"; }
cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT
w64 wineboot -i >/dev/null 2>&1 || fail "wineboot could not create the prefix"
# No window manager on the test display: Wine draws the frames itself.
w64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || fail "registry write refused"

w64 "$bin/QQ.exe" >/dev/null 2>&1 </dev/null &
w64 "$bin/zl_drive.exe" --timeout 30000 --running QQ.exe </dev/null || fail "the stand-in QQ client did not start"
(cd "$work/unpacked/$name" && w64 ./zanlark.exe >/dev/null 2>&1 </dev/null) &
program=$!
w64 "$bin/zl_drive.exe" --timeout 60000 --wait-window --close </dev/null || fail "no main window, or it did not close"
status=0
wait "$program" || status=$?
[ "$status" = 0 ] || fail "zanlark.exe ended with $status"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
rm -rf "$work"
echo "the unpacked program started in a new prefix and ended with 0"
