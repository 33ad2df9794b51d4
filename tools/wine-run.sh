#!/bin/sh
# Runs a cross-built Windows program under Wine, in a private prefix kept under
# the build folder, never the user's ~/.wine. Used as CMake's cross-compiling
# emulator, so ctest runs the same test commands as a native build.
#
#   wine-run.sh [--build-dir DIR] [--arch win32|win64] [--] program.exe [arguments...]
#
# Environment: ZOLM_BUILD_DIR and ZOLM_WINEARCH stand in for the options;
# ZOLM_WINEPREFIX names another prefix (default: <build dir>/wine);
# ZOLM_WINE_HOME names the HOME of the run (default: <build dir>/wine-home).
# Without a build folder, the program's own folder is taken; without an
# architecture, the program's PE header decides the architecture of a new prefix.
set -eu

usage() {
    echo "usage: $0 [--build-dir DIR] [--arch win32|win64] [--] program [arguments...]" >&2
    exit 2
}

build_dir=${ZOLM_BUILD_DIR:-}
arch=${ZOLM_WINEARCH:-}
while [ $# -gt 0 ]; do
    case "$1" in
        --build-dir) [ $# -ge 2 ] || usage; build_dir=$2; shift 2 ;;
        --arch) [ $# -ge 2 ] || usage; arch=$2; shift 2 ;;
        --) shift; break ;;
        -*) usage ;;
        *) break ;;
    esac
done
[ $# -ge 1 ] || usage
program=$1

if [ -z "$build_dir" ]; then
    build_dir=$(dirname "$program")
fi
# Wine takes only absolute prefixes.
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)

# The machine field of the PE header: 014c is i386, 8664 is x86-64.
pe_arch() {
    offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' ')
    case "$machine" in
        8664) echo win64 ;;
        *) echo win32 ;;
    esac
}
if [ -z "$arch" ]; then
    arch=$(pe_arch "$program")
fi
case "$arch" in
    win32|win64) ;;
    *) echo "$0: unknown architecture '$arch'" >&2; exit 2 ;;
esac

# The 32-bit loader runs 32-bit programs and hands 64-bit ones to wine64; a
# prefix made for 64 bits is made by the 64-bit loader.
loader=/usr/lib/wine/wine
if [ "$arch" = win64 ] && [ -x /usr/lib/wine/wine64 ]; then
    loader=/usr/lib/wine/wine64
fi
[ -x "$loader" ] || loader=$(command -v wine)

WINEPREFIX=${ZOLM_WINEPREFIX:-$build_dir/wine}
WINEDEBUG=${WINEDEBUG:--all}
# No offer to install Mono or Gecko.
WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
# Code page 932 for the ANSI calls, as on Japanese Windows.
LC_ALL=ja_JP.UTF-8
# Recycled files land in $XDG_DATA_HOME/Trash: keep them inside the build.
HOME=${ZOLM_WINE_HOME:-$build_dir/wine-home}
XDG_DATA_HOME=$HOME/.local/share
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES LC_ALL HOME XDG_DATA_HOME
mkdir -p "$XDG_DATA_HOME" "$(dirname "$WINEPREFIX")"

# The prefix is made once, by whichever run comes first; the others wait.
ready=$WINEPREFIX/.zolm-prefix-ready
if [ ! -f "$ready" ]; then
    (
        flock 9
        if [ ! -f "$ready" ]; then
            # WINEARCH counts only when a prefix is made; an existing prefix of
            # 64 bits runs 32-bit programs too.
            WINEARCH=$arch "$loader" wineboot.exe --init >/dev/null 2>&1 || true
            "$loader" reg.exe add 'HKCU\Software\Wine\winedbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
                >/dev/null 2>&1
            touch "$ready"
        fi
    ) 9>"$WINEPREFIX.lock"
fi

exec "$loader" "$@"
