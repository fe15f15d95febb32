#!/usr/bin/env bash
# Checks of the installed program, run by ctest:
#   installed.sh install BUILD_DIR PREFIX   install the build into a fresh PREFIX
#   installed.sh run PREFIX HOOK BUILT      the installed command finds the installed tables;
#                                           neither it nor the BUILT program maps a library
#                                           of the windows; without
#                                           arguments the windows open (HOOK closes them)
#   installed.sh desktop PREFIX SOURCE_DIR  the desktop files and the manual page are installed,
#                                           valid and agree
#   installed.sh completion PREFIX          the installed bash completion completes
#   installed.sh runpath BUILD_DIR          no binary of the build searches an empty or relative
#                                           library path
#   installed.sh package RELEASE_BUILD_DIR  the Debian package of the release build: lintian
#                                           finds no error or warning, hardening-check no fault,
#                                           and a second package is the same, byte for byte
#                                           (skipped while that build is not configured)
#   installed.sh deps SOURCE_DIR            tools/install-deps waits for a package lock held by
#                                           another package manager, and says so
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

# Every RUNPATH or RPATH entry of each ELF file given is absolute or starts with $ORIGIN: an
# empty or relative one makes the loader search the directory the program is started from.
check_runpaths() {
    local file entry
    for file in "$@"; do
        while IFS= read -r entry; do
            [[ $entry == /* || $entry == '$ORIGIN'* ]] || fail "$file searches '$entry' for libraries"
        done < <(readelf -d "$file" | sed -nE 's/.*\((RUNPATH|RPATH)\).*\[(.*)\]$/\2/p' | tr ':' '\n')
    done
}
elf_files() { find "$@" -name CMakeFiles -prune -o -type f -exec sh -c 'head -c4 "$1" | grep -q ELF' _ {} \; -print; }

member_lines() { grep -c '^[0-9]' <<<"$1" || true; }

# The libraries that the dynamic loader looked up or mapped, one a line, from LD_DEBUG=libs.
mapped_libraries() { sed -nE 's/.*(find library=|calling init: )([^ ;]+).*/\2/p' "$1"; }
window_libraries='(^|/)lib(Qt6(Gui|Widgets|PrintSupport|XcbQpa|WaylandClient|OpenGL)|X11|xcb|wayland|GL|EGL|OpenGL|GLX|xkbcommon)[^/]*$|throngkit_desktop'

case ${1:-} in
install)
    build=$2 prefix=$3
    rm -rf "$prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null
    for file in bin/throngkit share/throngkit/tk-wp-rq1.dat share/throngkit/tk-wp-tr1.dat \
                share/throngkit/foundry-import.js \
                share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
                share/icons/hicolor/scalable/apps/$app_id.svg \
                share/icons/hicolor/128x128/apps/$app_id.png \
                share/bash-completion/completions/throngkit share/doc/throngkit/copyright \
                share/doc/throngkit/changelog.gz; do
        [[ -s $prefix/$file ]] || fail "$file was not installed"
    done
    [[ -x $prefix/bin/throngkit ]] || fail "bin/throngkit is not executable"
    module=$(find "$prefix" -path '*/throngkit/*throngkit_desktop.so' -type f)
    [[ -n $module ]] || fail "the windows' module was not installed"
    engine=$(find "$prefix" -name 'libthrongkit_engine.so*' -type f)
    [[ $(wc -l <<<"$engine") == 1 && -n $engine ]] || fail "expected one engine library, found: $engine"
    # The program and the module use the engine's functions from the library, and hold no copy.
    exported=$(nm -D --defined-only "$engine" | awk '$2 == "T" { print $3 }' | sort)
    for binary in "$prefix/bin/throngkit" "$module"; do
        copies=$(comm -12 <(nm --defined-only "$binary" | awk '$2 ~ /^[Tt]$/ { print $3 }' | sort) - <<<"$exported")
        [[ -z $copies ]] || fail "$binary holds its own copy of the engine's $(c++filt <<<"$copies" | head -3)"
    done
    compgen -G "$prefix/share/man/man1/throngkit.1*" >/dev/null || fail "no manual page installed"
    ;;

run)
    prefix=$2 hook=$3 built=$4
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
    # The command line never maps the windows' libraries; the loader's log proves it looked.
    for program in "$prefix/bin/throngkit" "$built"; do
        for command in "generate --count 1000 --format htm -o rabble.htm" --help --version; do
            # shellcheck disable=SC2086
            run_isolated "$scratch/libs" env LD_DEBUG=libs "$program" $command \
                > /dev/null 2> "$scratch/loader.log" || fail "$program $command failed"
            mapped_libraries "$scratch/loader.log" | grep -q libQt6Core \
                || fail "$program $command: no loader log"
            if mapped_libraries "$scratch/loader.log" | grep -E "$window_libraries"; then
                fail "$program $command mapped the libraries above"
            fi
        done
    done

    # Any argument runs the command, options before "generate" too; none at all opens the
    # windows, or says in one line that there is no display to open them on.
    front_says() {
        local want_status=$1 want=$2 status=0 said
        said=$(run_isolated "$scratch/front" "$prefix/bin/throngkit" "${@:3}" 2>&1 >/dev/null) || status=$?
        [[ $status == "$want_status" && $said == "throngkit: $want"* && $(wc -l <<<"$said") == 1 ]] \
            || fail "throngkit ${*:3}: status $status, said: $said"
    }
    front_says 1 "no display to open the windows on"
    front_says 2 'unknown option "-style"' -style fusion
    front_says 2 'no command given' --format csv
    out=$(run_isolated "$scratch/front" "$prefix/bin/throngkit" --seed 1 generate --count 4) \
        || fail "throngkit --seed 1 generate failed"
    [[ $(member_lines "$out") == 4 ]] || fail "throngkit --seed 1 generate: $out"

    # Without arguments the windows open. A first run in a folder holding the table writes the
    # INI and says so, then the configuration window shows; closing it by its frame (the hook
    # does, as each window paints) ends the program with status 0.
    mkdir -p "$scratch/windows/elsewhere"
    cp "$prefix/share/throngkit/tk-wp-rq1.dat" "$scratch/windows/elsewhere/"
    status=0
    run_isolated "$scratch/windows" env QT_QPA_PLATFORM=offscreen LD_PRELOAD="$hook" \
        ASAN_OPTIONS=verify_asan_link_order=0 "$prefix/bin/throngkit" \
        > /dev/null 2> "$scratch/windows.log" || status=$?
    shown=$(sed -nE 's/^shown ([^ ]+) "([^"]*)".*/\1 \2/p' "$scratch/windows.log" | paste -sd'|')
    [[ $status == 0 && $shown == "QMessageBox Throngkit v6.1|throngkit::Form2 Throngkit v6.1" ]] \
        || fail "throngkit without arguments: status $status, windows '$shown', log: $(cat "$scratch/windows.log")"
    grep -q "^shown QMessageBox .*Throngkit.ini has been created" "$scratch/windows.log" \
        || fail "the first run did not say that it wrote the INI"
    tr -d '\r' < "$scratch/windows/config/Throngkit.ini" | grep -qix "dbloc=$scratch/windows/elsewhere/" \
        || fail "the first run of the windows did not write the INI: $(cat "$scratch/windows/config/Throngkit.ini")"

    # The same program (with its engine) without its tables beside it must not find any: the run
    # above found the installed ones, not some other copy.
    mkdir -p "$scratch/bare/bin" "$scratch/bare/lib"
    cp "$prefix/bin/throngkit" "$scratch/bare/bin/"
    engine=$(find "$prefix" -name 'libthrongkit_engine.so*' -type f)
    [[ $(wc -l <<<"$engine") == 1 ]] || fail "expected one engine library in the prefix, found: $engine"
    mkdir -p "$scratch/bare/${engine#"$prefix/"}" && rmdir "$scratch/bare/${engine#"$prefix/"}"
    cp "$engine" "$scratch/bare/${engine#"$prefix/"}"
    # It fails and says what would help.
    bare_says() {
        local status=0 said
        said=$(run_isolated "$scratch/bare-run" "$scratch/bare/bin/throngkit" "${@:2}" 2>&1 >/dev/null) || status=$?
        [[ $status == 2 && $said == "throngkit: $1" ]] \
            || fail "a program with no tables installed beside it, ${*:2}: status $status, $said"
    }
    bare_says "The weapon table tk-wp-rq1.dat cannot be opened: No such file or directory. (no data directory found: give --data-dir or --table)" \
        generate --seed 1 --count 3
    bare_says "no data directory found: give --data-dir or name the tables" tables
    # ... nor its windows: it says so rather than crash.
    status=0
    run_isolated "$scratch/bare-windows" env QT_QPA_PLATFORM=offscreen "$scratch/bare/bin/throngkit" \
        > /dev/null 2> "$scratch/bare.log" || status=$?
    [[ $status == 1 ]] && grep -q 'the windows cannot open' "$scratch/bare.log" \
        || fail "a program with no windows' library beside it: status $status, $(cat "$scratch/bare.log")"
    ;;

desktop)
    prefix=$2 source=$3
    desktop=$prefix/share/applications/$app_id.desktop
    metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejected $desktop"
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejected $metainfo"

    grep -qx 'Exec=throngkit' "$desktop" || fail "the desktop entry does not start throngkit"
    grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry names another icon"
    grep -q "<id>$app_id</id>" "$metainfo" || fail "the metadata has another id"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
        || fail "the metadata launches another desktop entry"
    # The release's date is the manual page's; the metadata shows every screenshot and the licence.
    page=$(compgen -G "$prefix/share/man/man1/throngkit.1*" | head -n1)
    man_date=$(gzip -dcf "$page" | sed -nE '1s/^\.TH [^ ]+ [0-9]+ "?([0-9-]+)"? .*/\1/p')
    grep -q "<release version=\"[0-9.]*\" date=\"$man_date\"/>" "$metainfo" \
        || fail "the metadata's release date is not the manual page's ($man_date)"
    grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "the metadata names another licence"
    for shot in "$source"/docs/screenshots/*.png; do
        [[ ${shot##*/} == windows.png ]] && continue   # Windows' desktop, not this one
        grep -q "<image>.*/docs/screenshots/${shot##*/}</image>" "$metainfo" || fail "the metadata does not show ${shot##*/}"
    done
    lint=$(mandoc -Tlint -W warning "$page" 2>&1) || fail "mandoc finds faults in the manual page: $lint"
    if command -v man >/dev/null; then
        text=$(MANWIDTH=100 man -l "$page" 2>&1) || fail "man cannot read $page"
        grep -q -- '--heading "City watch"' <<<"$text" || fail "the manual page loses the quotes of its example"
        for option in --system --count --level --shield --missile --table --data-dir --weapon \
                      --damage --rank --heading --format --output --seed --help --version \
                      tables csv summary foundry; do
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
    complete_line "throngkit generate --format " "csv foundry htm json listing rbl summary"
    complete_line "throngkit generate --format s" "summary"
    complete_line "throngkit generate --format = c" "csv"
    complete_line "throngkit generate --system t" "traveller"
    complete_line "throngkit generate --count 5 --level " "B E F G P random"
    complete_line "throngkit generate --data-dir " "data dir other"
    complete_line "throngkit generate -o no" "notes.txt"
    complete_line "throngkit tables --d" "--data-dir"
    complete_line "throngkit tables --format " "foundry report"
    complete_line "throngkit tables --fo" "--format"
    complete_line "throngkit tables " "data dir other tk-wp-a.dat"
    ;;

runpath)
    build=$2
    mapfile -t binaries < <(elf_files "$build/bin" "$build/lib" "$build/tests")
    [[ " ${binaries[*]} " == *" $build/bin/throngkit "* ]] || fail "no program among the binaries of $build: ${binaries[*]}"
    check_runpaths "${binaries[@]}"
    ;;

package)
    release=$2
    [[ -f $release/CPackConfig.cmake ]] || { echo "$release is not configured: run cmake --workflow --preset release (tools/dev test does)"; exit 77; }
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    for copy in first second; do
        (cd "$release" && cpack -G DEB -B "$scratch/$copy" > "$scratch/$copy.log") \
            || fail "cpack failed: $(cat "$scratch/$copy.log")"
    done
    deb=$(compgen -G "$scratch/first/*.deb") || fail "cpack made no package"
    cmp "$deb" "$scratch/second/${deb##*/}" || fail "two packages of the same build differ"
    # No error or warning, pedantic tags included: the package is one Debian's tools accept.
    said=$(lintian --pedantic --no-tag-display-limit "$deb" 2>&1) || true
    if grep -E '^[EW]: ' <<<"$said"; then fail "lintian on ${deb##*/}: $said"; fi
    dpkg-deb -x "$deb" "$scratch/root"
    mapfile -t binaries < <(elf_files "$scratch/root")
    ((${#binaries[@]} == 3)) || fail "expected the program and its two libraries, found: ${binaries[*]}"
    # Two of hardening-check's checks do not apply. Control-flow protection: Debian 12 does not
    # build with it, and the C library's start files (crti.o) lack the mark, so no binary linked
    # there has it. Fortified calls in a library: where every checkable libc call has its bound
    # proven at compile time the compiler calls the plain function, which hardening-check cannot
    # tell from an unchecked one (its manual calls this a false alarm).
    for binary in "${binaries[@]}"; do
        [[ $binary == *.so ]] && only=(--nofortify) || only=()
        hardening-check --quiet --nocfprotection "${only[@]}" "$binary" \
            || fail "hardening-check: $(hardening-check --verbose "$binary")"
    done
    check_runpaths "${binaries[@]}"
    ;;

deps)
    source=$2
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    # Stand-ins: one package is missing, root needs no sudo, the first two updates find the
    # package lists locked, and waiting takes no time. apt-get notes how it was called.
    mkdir "$scratch/bin"
    cat > "$scratch/bin/dpkg-query" <<'STUB'
#!/bin/sh
[ "$3" = cmake ] || printf 'install ok installed'
STUB
    cat > "$scratch/bin/apt-get" <<STUB
#!/bin/sh
echo "\$*" >> "$scratch/apt.log"
case "\$*" in *update*)
    [ "\$(grep -c update "$scratch/apt.log")" -gt 2 ] && exit 0
    echo "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 9 (unattended-upgr)" >&2
    exit 100
esac
STUB
    printf '#!/bin/sh\necho 0\n' > "$scratch/bin/id"
    printf '#!/bin/sh\n' > "$scratch/bin/sleep"
    chmod +x "$scratch/bin/"*
    said=$(PATH="$scratch/bin:$PATH" "$source/tools/install-deps" 2>&1) || fail "install-deps gave up: $said"
    grep -q "^Waiting .*held by process 9 (unattended-upgr)" <<<"$said" || fail "install-deps did not say it waits: $said"
    grep -q -- "-o DPkg::Lock::Timeout=[1-9][0-9]* install .* cmake$" "$scratch/apt.log" \
        || fail "apt-get install does not wait for the dpkg lock: $(cat "$scratch/apt.log")"
    ;;

*)
    fail "usage: $0 install BUILD PREFIX | run PREFIX HOOK | desktop PREFIX | completion PREFIX"
    ;;
esac
