#!/usr/bin/env bash
# The launcher's exit clean-up with links in its data folder: "/cleanup" removes what is the
# launcher's own and never what a link points to.
# Usage: cleanup-links-test.sh LAUNCHER.exe (in a Wine session, or one is made for it)
#
# The links are host symbolic links inside the prefix: Wine shows a link to a folder as a
# folder with FILE_ATTRIBUTE_REPARSE_POINT. Wine itself cannot remove such a link through the
# Win32 calls (it resolves it and works on the target: RemoveDirectoryW reports the target's
# contents, DeleteFileW of a link to a file deletes the target), so under Wine the links stay
# behind; what is checked is that nothing they point to is lost and that everything else goes.
set -u
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${VELQ_WINE_SESSION:-}" ]; then
    exec "$here/../../tests/wine/session.sh" "$0" "$@"
fi
launcher=$1

failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

local_appdata=$(wine cmd.exe /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
vendor="$(winepath -u "$local_appdata" 2>/dev/null)/OfficeKestrahl"
data="$vendor/Velquinランチャー"
outside="$VELQ_WINE_SESSION/outside"

# What a link points to: files and a nested folder, each with known contents.
make_target() {
    mkdir -p "$1/nested"
    printf 'kept %s\n' "$1" >"$1/kept.txt"
    printf 'deep %s\n' "$1" >"$1/nested/deep.txt"
}
check_target() {
    local what=$1 target=$2
    if [ "$(cat "$target/kept.txt" 2>/dev/null)" != "kept $target" ] ||
        [ "$(cat "$target/nested/deep.txt" 2>/dev/null)" != "deep $target" ]; then
        fail "$what: the folder the link points to lost its contents"
        ls -lR "$target" 2>&1 | sed 's/^/    /'
    fi
}
run_cleanup() {
    if ! timeout 60 wine "$launcher" /cleanup >/dev/null 2>&1; then
        fail "$1: the launcher did not end after /cleanup"
    fi
}

# Links inside the data folder, beside the launcher's own files.
rm -rf "$vendor" "$outside"
make_target "$outside/linked folder"
make_target "$outside/linked at the top"
mkdir -p "$data/LNKs/sub"
printf 'x' >"$data/LNKs/{9C1B0C63-5B0E-4C47-9E35-6C5C1D2B7A10}.lnk"
printf 'x' >"$data/LNKs/sub/own.txt"
ln -s "$outside/linked folder" "$data/LNKs/linked folder"
ln -s "$outside/linked at the top" "$data/linked at the top"
run_cleanup "links inside"
check_target "a link in LNKs" "$outside/linked folder"
check_target "a link at the top" "$outside/linked at the top"
# Everything of the launcher's own is gone; at most the links (and the folders holding them) stay.
if [ -d "$data" ]; then
    left=$(find "$data" ! -type l ! -type d)
    [ -z "$left" ] || fail "links inside: files of the data folder stayed behind: $left"
    while IFS= read -r folder; do
        [ -n "$(find "$folder" -type l)" ] || fail "links inside: the folder $folder stayed behind"
    done < <(find "$data" -type d)
fi

# The data folder itself a link to a folder elsewhere.
rm -rf "$vendor" "$outside"
make_target "$outside/elsewhere"
mkdir -p "$vendor"
ln -s "$outside/elsewhere" "$data"
run_cleanup "data folder a link"
check_target "the data folder a link" "$outside/elsewhere"

rm -rf "$vendor" "$outside"
if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "the clean-up left every linked folder whole"
