#!/usr/bin/env bash
# Runs a command inside a private Wine session and tears it down afterwards:
# a throwaway WINEPREFIX (never ~/.wine), a private Xvfb display, a Japanese locale
# (code page 932) and "MS Shell Dlg" / "MS Shell Dlg 2" drawn with IPAPGothic.
# Usage: session.sh COMMAND [ARGS...]; the command's exit status is passed on.
set -u

root=${VELQ_WINE_ROOT:-${TMPDIR:-/tmp}}
mkdir -p "$root"
session=$(mktemp -d "$root/velq-wine.XXXXXX")

export WINEPREFIX="$session/prefix"
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export VELQ_WINE_SESSION="$session"

xvfb_pid=""
wm_pid=""
cleanup() {
    trap - EXIT INT TERM
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    if [ -n "$wm_pid" ]; then
        kill "$wm_pid" 2>/dev/null
        wait "$wm_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$session"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb chooses a free display number itself and reports it on the descriptor.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$session/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$session/display" ] && break
    sleep 0.1
done
if [ ! -s "$session/display" ]; then
    echo "session.sh: Xvfb did not start" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$session/display")"

# A small window manager on the display: without one, Wine's windows wait for answers that
# never come (a launcher took about two seconds to end, against some 80 ms with it).
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

"$(dirname "$0")/prefix-setup.sh"

# The session's server, services and desktop process run before the first program does: a
# console program started at the same moment as the first windowed one otherwise waits for as
# long as windowed programs keep running (seen as a test that takes minutes or times out).
wineserver -p >/dev/null 2>&1
wine explorer.exe /desktop >/dev/null 2>&1 &
wine cmd.exe /c exit >/dev/null 2>&1

"$@"
