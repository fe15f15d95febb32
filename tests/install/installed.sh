#!/usr/bin/env bash
# Checks of the installed program, run by ctest:
#   installed.sh install BUILD_DIR PREFIX   install the build into a fresh PREFIX
#   installed.sh run PREFIX                 the installed command finds the installed tables
#   installed.sh desktop PREFIX             the desktop files are installed, valid and agree
#   installed.sh completion PREFIX          the installed bash completion completes
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }

app_id=io.github.throngkit.Throngkit

# A program started from a menu knows nothing of this build: an empty home, configuration
# folder and current directory, no WINDIR, and only the system's PATH.
run_isolated() {
    local scratch=$1; shift
    mkdir -p "$scratch/home" "$scratch/config" "$scratch/elsewhere"
    (cd "$scratch/elsewhere" &&
        env -i HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" PATH=/usr/bin:/bin \
            LC_ALL=C.UTF-8 "$@")
}

member_lines() { grep -c '^[0-9]' <<<"$1" || true; }

case ${1:-} in
install)
    build=$2 prefix=$3
    rm -rf "$prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null
    for file in bin/throngkit share/throngkit/tk-wp-rq1.dat share/throngkit/tk-wp-tr1.dat \
                share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
                share/icons/hicolor/scalable/apps/$app_id.svg \
                share/icons/hicolor/128x128/apps/$app_id.png \
                share/bash-completion/completions/throngkit; do
        [[ -s $prefix/$file ]] || fail "$file was not installed"
    done
    [[ -x $prefix/bin/throngkit ]] || fail "bin/throngkit is not executable"
    compgen -G "$prefix/share/man/man1/throngkit.1*" >/dev/null || fail "no manual page installed"
    ;;

run)
    prefix=$2
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT

    for system in runequest traveller; do
        out=$(run_isolated "$scratch/$system" "$prefix/bin/throngkit" generate \
                  --system "$system" --seed 1 --count 3) \
            || fail "throngkit generate --system $system failed from an unrelated directory"
        [[ $(member_lines "$out") == 3 ]] || fail "$system: expected 3 member lines, got:
$out"
        [[ $(head -n1 <<<"$out") == Num* ]] || fail "$system: no header line in:
$out"
    done
    # The command reads the INI but leaves the user's configuration alone.
    [[ -z $(find "$scratch" -iname 'throngkit.ini') ]] || fail "generate wrote an INI file"

    # The same program without its tables beside it must not find any: the run above found the
    # installed ones, not some other copy.
    mkdir -p "$scratch/bare/bin"
    cp "$prefix/bin/throngkit" "$scratch/bare/bin/"
    if run_isolated "$scratch/bare-run" "$scratch/bare/bin/throngkit" generate --seed 1 --count 3 \
           >/dev/null 2>&1; then
        fail "a program with no tables installed beside it still generated a rabble"
    fi
    ;;

desktop)
    prefix=$2
    desktop=$prefix/share/applications/$app_id.desktop
    metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejected $desktop"
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejected $metainfo"

    grep -qx 'Exec=throngkit' "$desktop" || fail "the desktop entry does not start throngkit"
    grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry names another icon"
    grep -q "<id>$app_id</id>" "$metainfo" || fail "the metadata has another id"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
        || fail "the metadata launches another desktop entry"
    if command -v man >/dev/null; then
        page=$(compgen -G "$prefix/share/man/man1/throngkit.1*" | head -n1)
        text=$(MANWIDTH=100 man -l "$page" 2>&1) || fail "man cannot read $page"
        for option in --system --count --level --shield --missile --table --data-dir --weapon \
                      --damage --rank --heading --format --output --seed --help --version \
                      tables csv summary; do
            grep -q -- "$option" <<<"$text" || fail "the manual page does not describe $option"
        done
    fi
    ;;

completion)
    prefix=$2
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    mkdir -p "$scratch/data dir" "$scratch/other"
    touch "$scratch/tk-wp-a.dat" "$scratch/notes.txt"
    # shellcheck source=/dev/null
    source "$prefix/share/bash-completion/completions/throngkit"
    [[ $(complete -p throngkit) == *"-F _throngkit"* ]] || fail "no completion registered for throngkit"

    # complete LINE EXPECTED: completes the last word of LINE ("" completes a new word).
    complete_line() {
        local line=$1 expected=$2
        read -ra COMP_WORDS <<<"$line"
        [[ $line == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMPREPLY=()
        _throngkit || true   # compopt fails outside a real completion; the reply stands
        local got
        got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' ')
        [[ $got == "$expected" ]] || fail "completing '$line': expected '$expected', got '$got'"
    }
    cd "$scratch"
    complete_line "throngkit " "--help --version generate tables"
    complete_line "throngkit ta" "tables"
    complete_line "throngkit generate --fo" "--format"
    complete_line "throngkit generate --format " "csv htm json listing rbl summary"
    complete_line "throngkit generate --format s" "summary"
    complete_line "throngkit generate --format = c" "csv"
    complete_line "throngkit generate --system t" "traveller"
    complete_line "throngkit generate --count 5 --level " "B E F G P random"
    complete_line "throngkit generate --data-dir " "data dir other"
    complete_line "throngkit generate -o no" "notes.txt"
    complete_line "throngkit tables --d" "--data-dir"
    complete_line "throngkit tables " "data dir other tk-wp-a.dat"
    ;;

*)
    fail "usage: $0 install BUILD PREFIX | run PREFIX | desktop PREFIX | completion PREFIX"
    ;;
esac
