#!/usr/bin/env bash
# ctest's emulator for the Windows builds: runs one Windows program under Wine.
# Inside a session (session.sh) the session's prefix is used; otherwise a session
# is made for this one run. A 32-bit program where wine32 is missing exits 77,
# which the tests declare as their skip code.
set -u
here=$(cd "$(dirname "$0")" && pwd)

exe=$1
# PE machine field: 0x14c is i386.
pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$exe" | tr -d ' ')
if [ "$machine" = "014c" ] && ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    echo "wine32 is not installed: 32-bit program not run"
    exit 77
fi

if [ -z "${VELQ_WINE_SESSION:-}" ]; then
    exec "$here/session.sh" "$here/run.sh" "$@"
fi
shift
wine "$exe" "$@"
status=$?
# A test program that dies before it prints anything (a crash in start-up, a loader failure)
# leaves ctest nothing to show but the status. Only the test programs ("*_test.exe"): the
# command-line tests compare the product programs' own error output exactly.
case "$(basename "$exe")" in *_test.exe) test_program=1 ;; *) test_program=0 ;; esac
if [ "$test_program" = 1 ] && [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
    echo "run.sh: $(basename "$exe") ended with status $status" >&2
fi
exit "$status"
