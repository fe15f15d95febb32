#!/usr/bin/env bash
# Builds Qt 6.4.2 (qtbase: Core, Gui, Widgets, PrintSupport, Test, Xml; platform plugins windows,
# offscreen, minimal; Vista style) for Windows x64 with mingw-w64 (posix threads), from Debian 12's own
# qt6-base source package, using Debian's Qt 6.4.2 host tools (moc, rcc, uic). About 45 minutes on
# 2 cores. Usage: build-qt-mingw.sh PREFIX [WORKDIR]
# The recipe that made the prepared build in ../shared/sdk, but for two jobs at most and a line of
# progress every 5 % (the whole log in WORKDIR/build.log); tools/qt-windows runs it.
set -euo pipefail
prefix=$(realpath -m "$1"); work=$(realpath -m "${2:-$(mktemp -d)}")
mkdir -p "$work"; cd "$work"
sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
    mingw-w64-tools ninja-build cmake qt6-base-dev qt6-base-dev-tools xz-utils dpkg-dev >/dev/null
# Debian's source package, fetched with a private sources list (deb-src lines need not be enabled)
mkdir -p apt/lists/partial apt/cache/archives/partial
cat >apt/src.sources <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
opts=(-o Dir::Etc::SourceParts=/nonexistent -o Dir::Etc::SourceList="$work/apt/src.sources"
      -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache")
apt-get "${opts[@]}" update -qq
apt-get "${opts[@]}" source --download-only qt6-base=6.4.2+dfsg-10
tar -xJf qt6-base_6.4.2+dfsg.orig.tar.xz
# Debian's source leaves out the tablet header (wintab.h); Wine's LGPL copy serves, with the few names
# that Wine's own headers would define.
apt-get download libwine-dev=8.0~repack-4 >/dev/null
dpkg-deb -x libwine-dev_*.deb winedev
wintab=qtbase-everywhere-src-6.4.2/src/3rdparty/wintab; mkdir -p "$wintab"
cp winedev/usr/include/wine/wine/windows/pktdef.h "$wintab/"
{ sed -n '1,/#define __WINE_WINTAB_H/p' winedev/usr/include/wine/wine/windows/wintab.h
  printf '%s\n' '#include <windows.h>' '#ifndef API' '#define API WINAPI' '#endif' \
    '#define WINELIB_NAME_AW(func) func##W' '#define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;'
  sed '1,/#define __WINE_WINTAB_H/d' winedev/usr/include/wine/wine/windows/wintab.h; } >"$wintab/wintab.h"
cat >mingw.cmake <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC
echo "Configuring (the log in $work/configure.log)"
cmake -S qtbase-everywhere-src-6.4.2 -B build >"$work/configure.log" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no \
    -DFEATURE_vulkan=OFF -DFEATURE_concurrent=OFF
echo "Compiling (the whole log in $work/build.log)"
set +e
NINJA_STATUS='[%f/%t] ' cmake --build build -j"$(( $(nproc) < 2 ? $(nproc) : 2 ))" 2>&1 | tee "$work/build.log" | awk '
    match($0, /^\[[0-9]+\/[0-9]+\]/) {
        split(substr($0, 2, RLENGTH - 2), step, "/")
        percent = int(100 * step[1] / step[2] / 5) * 5
        if (percent > shown) { shown = percent; printf "Qt for Windows: %d %% (%d of %d steps)\n", percent, step[1], step[2]; fflush() }
    }'
status=${PIPESTATUS[0]}
set -e
if ((status != 0)); then
    grep -A 20 -m 3 '^FAILED' "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2
    exit 1
fi
cmake --install build >"$work/install.log"
# Relocatable: Qt's toolchain file chain-loads the mingw one from beside the prefix, wherever it lies.
cp "$work/mingw.cmake" "$prefix/mingw-w64-x86_64.toolchain.cmake"
sed -i 's#^set(__qt_initially_configured_toolchain_file ".*")#set(__qt_initially_configured_toolchain_file "${CMAKE_CURRENT_LIST_DIR}/../../../mingw-w64-x86_64.toolchain.cmake")#' \
    "$prefix/lib/cmake/Qt6/qt.toolchain.cmake"
for dll in "$prefix"/bin/*.dll "$prefix"/plugins/*/*.dll; do x86_64-w64-mingw32-strip --strip-unneeded "$dll"; done
mkdir -p "$prefix/LICENSES"; cp qtbase-everywhere-src-6.4.2/LICENSES/* "$prefix/LICENSES/"
# The archive in shared/sdk: tar -cJf qt-6.4.2-mingw64.tar.xz -C "$(dirname "$prefix")" "$(basename "$prefix")"
