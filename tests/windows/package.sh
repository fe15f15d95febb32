#!/usr/bin/env bash
# The Windows installer and zip as a referee meets them, under Wine, in a Wine prefix of their
# own that is removed afterwards:
#   package.sh SETUP.EXE ZIP WINE-RUN
# Every DLL that a program or DLL of the zip imports is in the zip or is Windows' own; the
# installer installs silently for the current user and, run as administrator (which Wine's
# user is), for all users; the installed program runs; the silent uninstaller removes all it
# installed, its Start-menu entry and its Apps & features entry, and leaves the referee's own
# files and INI alone.
set -uo pipefail
setup=$(realpath "$1") zip=$(realpath "$2") wine=$(realpath "$3")
work=$(mktemp -d -p "$(dirname "$setup")" package-check.XXXXXX)
export WINEPREFIX=$work/prefix
trap 'WINEPREFIX=$WINEPREFIX wineserver -k 2> /dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# The zip: the same files as the installer, each DLL's imports at hand.
mkdir "$work/zip" && (cd "$work/zip" && python3 -m zipfile -e "$zip" .) || fail "unzip"
system_dlls='^(advapi32|authz|comdlg32|d3d9|d3d11|dwmapi|dwrite|dxgi|gdi32|imm32|kernel32|mpr|msvcrt|netapi32|ole32|oleaut32|shcore|shell32|shlwapi|user32|userenv|uxtheme|version|winmm|winspool\.drv|ws2_32|wtsapi32|api-ms-win-.*)(\.dll)?$'
while IFS= read -r -d '' binary; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p'); do
        [[ ${dll,,} =~ $system_dlls || -f $work/zip/Throngkit/$dll ]] || fail "${binary#$work/zip/} imports $dll, which is not there"
    done
done < <(find "$work/zip" \( -name '*.dll' -o -name '*.exe' -o -name '*.com' \) -print0)
echo "zip: $(find "$work/zip" -type f | wc -l) files, every import at hand"

"$wine" wineboot -i > /dev/null 2>&1
unix() {
    local path
    path=$("$wine" winepath -u "$1" 2> /dev/null | tr -d '\r')
    [[ $path == "$WINEPREFIX"/* ]] || { echo "FAILED: no folder for $1"; exit 1; }
    echo "$path"
}
user=$(id -un)   # Wine names the Windows user after the Unix one
listed() { (cd "$1" && find . -type f | sort); }
appdata=$(unix 'C:\users\'"$user"'\AppData\Roaming') || exit 1
key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Throngkit'

for mode in /CurrentUser /AllUsers; do
    if [[ $mode == /CurrentUser ]]; then
        folder=$(unix 'C:\users\'"$user"'\AppData\Local\Programs\Throngkit') || exit 1
        hive=HKCU menu=$appdata/Microsoft/Windows/Start\ Menu/Programs
    else
        folder=$(unix 'C:\Program Files\Throngkit') || exit 1
        menu=$(unix 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs') || exit 1
        hive=HKLM
    fi
    "$wine" "$setup" /S $([[ $mode == /CurrentUser ]] && echo /CurrentUser)
    wineserver -w
    diff <(listed "$work/zip/Throngkit"; echo ./uninstall.exe) <(listed "$folder" | sort) > /dev/null \
        || fail "$mode: installed files differ from the zip's: $(diff <(listed "$work/zip/Throngkit") <(listed "$folder"))"
    [[ -f $menu/Throngkit.lnk ]] || fail "$mode: no Start-menu entry"
    uninstall=$("$wine" reg query "$hive\\$key" /v QuietUninstallString 2> /dev/null | tr -d '\r' | sed -n 's/.*REG_SZ\s*//p')
    [[ $uninstall == *uninstall.exe*" $mode /S" ]] || fail "$mode: Apps & features has no uninstaller: $uninstall"
    ran=$("$wine" "$folder/throngkit.com" generate --count 2 --seed 3 --format csv 2>&1 | tr -d '\r' | tail -n 1)
    [[ $ran == 2,* ]] || fail "$mode: the installed program: $ran"

    # The referee's own table in the program's folder, and the INI.
    echo "Mine" > "$folder/tk-wp-mine.dat"
    mkdir -p "$appdata/Throngkit" && printf 'dbloc=C:\\Games\\\r\n' > "$appdata/Throngkit/Throngkit.ini"
    "$wine" "$folder/uninstall.exe" $mode /S
    wineserver -w
    [[ $(listed "$folder") == ./tk-wp-mine.dat ]] || fail "$mode: left after uninstalling: $(listed "$folder")"
    [[ -f $appdata/Throngkit/Throngkit.ini ]] || fail "$mode: the uninstaller removed the INI"
    [[ ! -e $menu/Throngkit.lnk ]] || fail "$mode: the Start-menu entry stays"
    ! "$wine" reg query "$hive\\$key" > /dev/null 2>&1 || fail "$mode: the Apps & features entry stays"
    rm -r "$folder" "$appdata/Throngkit"
    echo "$mode: installed, ran, uninstalled; the referee's table and INI stayed, nothing else"
done
exit $((failures > 0))
