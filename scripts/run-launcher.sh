#!/usr/bin/env bash
# Starts the launcher under Wine for a look at it: on the user's display when DISPLAY is
# set, otherwise on a private Xvfb display. The Wine prefix is kept between runs, so the
# menus and settings stay. Ctrl-C ends the launcher (through its own "/exit").
# Usage: run-launcher.sh LAUNCHER_EXE PREFIX_FOLDER
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
prefix=$2
here=$(cd "$(dirname "$0")" && pwd)

mkdir -p "$prefix"
export WINEPREFIX=$(cd "$prefix" && pwd)
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

xvfb_pid=""
launcher_pid=""
state=$(mktemp -d "${TMPDIR:-/tmp}/velq-run.XXXXXX")
cleanup() {
    trap - EXIT INT TERM
    if [ -n "$launcher_pid" ] && kill -0 "$launcher_pid" 2>/dev/null; then
        wine "$exe" /exit >/dev/null 2>&1
        wait "$launcher_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ]; then
        wineserver -k >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$state"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$state/display" ] && break
        sleep 0.1
    done
    if [ ! -s "$state/display" ]; then
        echo "run-launcher.sh: Xvfb did not start" >&2
        exit 1
    fi
    export DISPLAY=":$(head -n1 "$state/display")"
    echo "No DISPLAY: the launcher runs on a private Xvfb display $DISPLAY."
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX (first run only)..."
    "$here/../tests/wine/prefix-setup.sh"
fi

echo "Starting $(basename "$exe") (Wine prefix $WINEPREFIX). Ctrl-C ends it."
wine "$exe" &
launcher_pid=$!
wait "$launcher_pid"
status=$?
launcher_pid=""
exit $status
