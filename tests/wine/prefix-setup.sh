#!/usr/bin/env bash
# Prepares the Wine prefix named by WINEPREFIX (creating it when needed) the way the
# programs expect it: "MS Shell Dlg" / "MS Shell Dlg 2" / "MS UI Gothic" drawn with IPAPGothic,
# the proportional face of the IPA fonts, as "MS UI Gothic" is proportional (the fixed-pitch
# IPAGothic would not fit the dialogs' Japanese labels into their rectangles).
# The caller exports WINEPREFIX, WINEARCH, LANG and DISPLAY first. Used by session.sh (a
# throwaway prefix per test run) and by run-launcher.sh (a prefix kept under build/).
set -u

wineboot -i >/dev/null 2>&1
fonts_reg=$(mktemp "${TMPDIR:-/tmp}/velq-fonts.XXXXXX.reg")
cat > "$fonts_reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
REG
wine regedit /S "$fonts_reg" >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
rm -f "$fonts_reg"
