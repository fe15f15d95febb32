#!/usr/bin/env bash
# The Windows program under Wine against the Linux build, and at the Windows console.
#   command.sh same-bytes WINE-RUN WINDOWS-FOLDER LINUX-PROGRAM
#       every format of seeded 1000-member rabbles of both systems, written with -o, and the
#       formats whose line ends are fixed also on standard output, byte for byte the Linux
#       program's; --version and --help too
#   command.sh console WINE-RUN WINDOWS-FOLDER LINUX-PROGRAM
#       "throngkit" typed at cmd.exe runs throngkit.com: it prints, is redirected and piped, and
#       sets ERRORLEVEL; the windowed throngkit.exe writes to a pipe under Wine too
#   command.sh saving WINE-RUN WINDOWS-FOLDER LINUX-PROGRAM
#       a save into a missing folder or onto a full disk (a small tmpfs, as root) fails with the
#       system's reason and leaves the old file as it was
# Runs in a temporary folder of its own, which it removes.
set -uo pipefail
what=$1 wine=$2 folder=$3 linux=$4
if [[ ! -x $linux ]]; then
    echo "no Linux build to compare with at $linux: run cmake --workflow --preset release first"
    exit 77
fi
work=$(mktemp -d)
trap 'cd /; [[ -n ${disk:-} ]] && umount "$disk"; rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
windows_path() { echo "Z:${1//\//\\}"; }
# Linux keeps its own INI out of it: the runs read none.
export HOME=$work XDG_CONFIG_HOME=$work WINDIR=$work

case $what in
same-bytes)
    compared=0
    for seed in 1 18446744073709551615; do
        for system in runequest traveller; do
            for format in listing json rbl htm csv summary foundry; do
                options=(generate --count 1000 --seed "$seed" --system "$system" --format "$format" --heading "Bytes & <them>")
                "$linux" "${options[@]}" -o linux.out
                "$wine" "$folder/throngkit.com" "${options[@]}" -o "$(windows_path "$work")\\windows.out"
                cmp linux.out windows.out || fail "$seed $system $format written with -o"
                compared=$((compared + 1))
                # The listing and the summary end their lines the system's way on standard output.
                [[ $format == listing || $format == summary ]] && continue
                "$linux" "${options[@]}" > linux.out
                "$wine" "$folder/throngkit.com" "${options[@]}" > windows.out
                cmp linux.out windows.out || fail "$seed $system $format on standard output"
                compared=$((compared + 1))
            done
        done
    done
    for format in report foundry; do
        "$linux" tables --format "$format" > linux.out
        "$wine" "$folder/throngkit.com" tables --format "$format" > windows.out
        cmp linux.out windows.out || fail "tables --format $format"
        compared=$((compared + 1))
    done
    for options in --version --help "tables --help"; do
        "$linux" $options > linux.out
        "$wine" "$folder/throngkit.com" $options > windows.out
        cmp linux.out windows.out || fail "$options"
        compared=$((compared + 1))
    done
    "$linux" tables --data-dir "$folder/tables" > linux.out
    "$wine" "$folder/throngkit.com" tables --data-dir "$(windows_path "$folder/tables")" > windows.out
    cmp linux.out windows.out || fail "tables"
    compared=$((compared + 1))
    echo "$compared outputs compared byte for byte"
    ;;
console)
    at="cd /d $(windows_path "$folder") &"
    "$linux" generate --count 5 --seed 7 --format csv > linux.out
    "$wine" cmd /c "$at throngkit generate --count 5 --seed 7 --format csv" > typed.out
    cmp linux.out typed.out || fail "throngkit typed at cmd.exe"
    "$wine" cmd /c "$at throngkit generate --count 5 --seed 7 --format csv > $(windows_path "$work")\\redirected.out"
    cmp linux.out redirected.out || fail "throngkit's output redirected by cmd.exe"
    "$wine" cmd /c "$at throngkit generate --count 5 --seed 7 --format csv | more" | tr -d '\r' > piped.out
    tr -d '\r' < linux.out | cmp - piped.out || fail "throngkit's output piped through more"
    said=$("$wine" cmd /c "$at throngkit generate --count 0 --level X & echo ERRORLEVEL %ERRORLEVEL%" 2>&1 | tr -d '\r')
    [[ $said == *'invalid value "X" for --level'*'ERRORLEVEL 2' ]] || fail "the exit status at cmd.exe: $said"
    "$wine" cmd /c "$at throngkit generate --bogus" 2> /dev/null
    [[ $? -eq 2 ]] || fail "the exit status of cmd /c throngkit"
    "$linux" --version > linux.out
    "$wine" "$folder/throngkit.exe" --version | cat > windowed.out
    cmp linux.out windowed.out || fail "throngkit.exe into a pipe"
    for program in exe:GUI com:CUI; do
        [[ $(x86_64-w64-mingw32-objdump -p "$folder/throngkit.${program%:*}") == *"(Windows ${program#*:})"* ]] \
            || fail "throngkit.${program%:*} is not a Windows ${program#*:} program"
    done
    ;;
saving)
    echo OLD > keep.rbl
    said=$("$wine" "$folder/throngkit.com" generate -o "$(windows_path "$work")\\no such folder\\keep.rbl" 2>&1 | tr -d '\r')
    [[ $said == 'throngkit: Cannot save "Z:'*'\no such folder\keep.rbl": '* ]] || fail "a save into a missing folder: $said"
    echo "missing folder: $said"
    if [[ $(id -u) -eq 0 ]] && mkdir tiny && mount -t tmpfs -o size=64k tmpfs tiny 2> /dev/null; then
        disk=$work/tiny
        echo OLD > tiny/keep.rbl
        head -c 57000 /dev/zero > tiny/filler
        said=$("$wine" "$folder/throngkit.com" generate --count 1000 -o "$(windows_path "$disk")\\keep.rbl" 2>&1 | tr -d '\r')
        [[ $said == 'throngkit: Cannot save "'*'\keep.rbl": '* && $(cat tiny/keep.rbl) == OLD && $(ls tiny) == $'filler\nkeep.rbl' ]] \
            || fail "a save onto a full disk: $said; left: $(ls tiny)"
        echo "full disk: $said"
    else
        echo "not run as root: the full disk (a mounted tmpfs) is not tried"
    fi
    ;;
esac
exit $((failures > 0))
