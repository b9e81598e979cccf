#!/usr/bin/env bash
# Pictures for the README, in one Wine session: the launcher's open menu in each drawing mode
# (launcher_screenshot_driver.exe seeds a demonstration menu and the look, opens the menu and
# reports the rectangle it covers), then the settings tool's main dialog without and with
# "Separate" and each dialog it opens (settings_screenshot_driver.exe seeds both menus, starts
# the launcher and the tool, opens the dialog and reports its rectangle). Each time the screen is captured and cropped to
# the rectangle.
# Then the customizer's dialog in its modes (customizer_screenshot_driver.exe) and the
# launcher's menu in the look of each built-in profile.
# Usage: scripts/screenshots.sh [X64_BUILD_FOLDER [menu|settings|customizer|profiles]...]
# (default build/x64, every set); pictures go to docs/.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/x64}
if [ -z "${VELQ_WINE_SESSION:-}" ]; then
    exec tests/wine/session.sh "$0" "$@"
fi
sets=${*:2}
sets=${sets:-menu settings customizer profiles}

driver="$build/bin/launcher_screenshot_driver.exe"
settings_driver="$build/bin/settings_screenshot_driver.exe"
customizer_driver="$build/bin/customizer_screenshot_driver.exe"
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

# capture FILE MARGIN DRIVER ARGUMENTS...: the driver reports a rectangle on its first line and
# waits for "$work/done"; the picture is that rectangle and MARGIN pixels around it.
capture() {
    local file=$1 margin=$2 pid l t r b
    shift 2
    rm -f "$work/done" "$work/rect"
    wine "$@" >"$work/rect" &
    pid=$!
    for _ in $(seq 600); do
        [ -s "$work/rect" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if ! read -r l t r b < <(tr -d '\r' <"$work/rect"); then
        echo "screenshots.sh: nothing to capture for $file" >&2
        touch "$work/done"
        wait "$pid" || true
        return 1
    fi
    l=$((l > margin ? l - margin : 0))
    t=$((t > margin ? t - margin : 0))
    import -window root png:- | convert - -crop "$((r - l + margin))x$((b - t + margin))+$l+$t" +repage \
        -strip "$file"
    touch "$work/done"
    wait "$pid" || true
    echo "$file"
}

# shoot NAME DRAWTYPE [TEXTURE]
shoot() {
    local name=$1 type=$2 texture=${3:-}
    if [ -n "$texture" ]; then
        capture "$out/menu-$name.png" 6 "$driver" "$type" "$(winpath "$work/done")" "$(winpath "$texture")"
    else
        capture "$out/menu-$name.png" 6 "$driver" "$type" "$(winpath "$work/done")"
    fi
}

# shoot_settings NAME SHOT: the dialog's own rectangle, caption and frame included.
shoot_settings() {
    capture "$out/$1.png" 0 "$settings_driver" "$2" "$(winpath "$work/done")"
}

for set in $sets; do
    case $set in
    menu)
        shoot mode0 0
        shoot mode1 1
        shoot mode2 2
        shoot mode2-texture 2 "$work/texture.bmp"
        shoot mode3 3
        ;;
    settings)
        # No window manager runs on the session's display, and Wine leaves the caption and the
        # frame of a window to one; with "Decorated" off it draws them itself.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
        shoot_settings settings main
        shoot_settings settings-separate main-separate
        for dialog in hotkeys hotkey-input settings file-item text-item submenu; do
            shoot_settings "settings-$dialog" "$dialog"
        done
        ;;
    customizer)
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
        for shot in mode0 mode2 mode3; do
            capture "$out/customizer-$shot.png" 0 "$customizer_driver" "$shot" "$(winpath "$work/done")"
        done
        capture "$out/customizer-mode2-texture.png" 0 "$customizer_driver" mode2-texture "$(winpath "$work/done")" \
            "$(winpath "$work/texture.bmp")"
        ;;
    profiles)
        for index in 0 1 2 3 4; do
            capture "$out/menu-profile$index.png" 6 "$driver" "profile:$index" "$(winpath "$work/done")"
        done
        ;;
    *)
        echo "screenshots.sh: unknown set $set (menu, settings, customizer, profiles)" >&2
        exit 2
        ;;
    esac
done
