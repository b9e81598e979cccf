#!/usr/bin/env bash
# Prepares the Wine prefix named by WINEPREFIX (creating it when needed) the way the
# programs expect it: "MS Shell Dlg" / "MS Shell Dlg 2" / "MS UI Gothic" drawn with IPAGothic.
# The caller exports WINEPREFIX, WINEARCH, LANG and DISPLAY first. Used by session.sh (a
# throwaway prefix per test run) and by run-launcher.sh (a prefix kept under build/).
set -u

wineboot -i >/dev/null 2>&1
fonts_reg=$(mktemp "${TMPDIR:-/tmp}/velq-fonts.XXXXXX.reg")
cat > "$fonts_reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="IPAGothic"
"MS Shell Dlg 2"="IPAGothic"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS Shell Dlg"="IPAGothic"
"MS Shell Dlg 2"="IPAGothic"
"MS UI Gothic"="IPAGothic"
REG
wine regedit /S "$fonts_reg" >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
rm -f "$fonts_reg"
