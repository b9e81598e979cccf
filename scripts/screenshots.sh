#!/usr/bin/env bash
# Pictures of the launcher's open menu in each drawing mode, for the README: in one Wine
# session, launcher_screenshot_driver.exe seeds a demonstration menu and the look, opens the
# menu and reports the rectangle it covers; the screen is then captured and cropped to it.
# Usage: scripts/screenshots.sh [X64_BUILD_FOLDER] (default build/x64); pictures go to docs/.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/x64}
if [ -z "${VELQ_WINE_SESSION:-}" ]; then
    exec tests/wine/session.sh "$0" "$@"
fi

driver="$build/bin/launcher_screenshot_driver.exe"
out=docs
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/velq-shots.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A dark, fine grain that tiles without seams and keeps white text readable.
convert -seed 7 -size 96x96 xc:gray50 -attenuate 0.8 +noise Gaussian -virtual-pixel tile -blur 0x1.2 \
    -colorspace Gray -auto-level +level-colors '#1b2636','#3b4c68' BMP3:"$work/texture.bmp"

# A fresh prefix lacks the class of ".exe", and its shell then gives every program the
# generic file icon; with it, programs show their own icons as on Windows.
wine reg add 'HKCR\.exe' /ve /d exefile /f >/dev/null 2>&1 || true

winpath() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# shoot NAME DRAWTYPE [TEXTURE]
shoot() {
    local name=$1 type=$2 texture=${3:-} pid l t r b margin=6
    rm -f "$work/done" "$work/rect"
    if [ -n "$texture" ]; then
        wine "$driver" "$type" "$(winpath "$work/done")" "$(winpath "$texture")" >"$work/rect" &
    else
        wine "$driver" "$type" "$(winpath "$work/done")" >"$work/rect" &
    fi
    pid=$!
    for _ in $(seq 600); do
        [ -s "$work/rect" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if ! read -r l t r b < <(tr -d '\r' <"$work/rect"); then
        echo "screenshots.sh: no menu for $name" >&2
        touch "$work/done"
        wait "$pid" || true
        return 1
    fi
    l=$((l > margin ? l - margin : 0))
    t=$((t > margin ? t - margin : 0))
    import -window root png:- | convert - -crop "$((r - l + margin))x$((b - t + margin))+$l+$t" +repage \
        -strip "$out/menu-$name.png"
    touch "$work/done"
    wait "$pid" || true
    echo "$out/menu-$name.png"
}

shoot mode0 0
shoot mode1 1
shoot mode2 2
shoot mode2-texture 2 "$work/texture.bmp"
shoot mode3 3
