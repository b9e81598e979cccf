#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Safe to run again:
# packages already present are skipped, and apt is only touched when something is missing.
set -u

packages=(
    g++ cmake ninja-build make pkg-config
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
    googletest libgtest-dev libbenchmark-dev nlohmann-json3-dev
    wine wine64 xvfb openbox xdotool x11-utils imagemagick fonts-ipafont-gothic
    clang libclang-rt-14-dev locales
)

# Wine maps Windows file names to host names through the locale: without a Japanese
# UTF-8 locale, names such as "Velquinランチャー" cannot be created under Wine.
ensure_japanese_locale() {
    locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' && return 0
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || echo "could not build the ja_JP.UTF-8 locale"
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    ensure_japanese_locale
    exit 0
fi

echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# One package index failing now and then is normal here; retry once and go on,
# since the install below tells whether what we need was reachable after all.
$SUDO apt-get update -q || { sleep 5; $SUDO apt-get update -q || echo "apt-get update failed twice; trying the install anyway"; }
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" || {
    sleep 5
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
}
ensure_japanese_locale
