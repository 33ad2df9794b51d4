#!/usr/bin/env bash
# Builds the release zolm.exe (i686) and runs it under Wine, installing first
# whatever is missing (as root, or through sudo).
#
#   bash tools/run.sh                      a demo game install, made on first use
#   WINEPREFIX=~/.wine bash tools/run.sh   your own prefix, where the game is
#
# The demo prefix lives in ${XDG_DATA_HOME:-~/.local/share}/zolm-demo/prefix:
# the game's registry value "Install Path" names C:\SEGA\PuyoFever, whose VOICE
# folder holds small generated voice files of all 16 characters; the game's data
# folder below the application-data folder exists, empty; C:\ZOLM holds the
# program, its INI file and samples (C:\ZOLM\samples\replays and \voices) to
# try the menu's replay and voice commands on.
#
# The demo's zolm.ini sets a 5 s timer, so a dropped replay is archived within
# ten seconds. Without a display the program runs on a virtual one (Xvfb).
# Ctrl-C ends the program the orderly way, which writes its settings.
set -euo pipefail

cd "$(dirname "$0")/.."
ROOT_DIR=$(pwd)

# shellcheck source=tools/setup.sh
source "$ROOT_DIR/tools/setup.sh"

# The build configures the test framework too, hence libgtest-dev.
PACKAGES=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix cmake ninja-build libgtest-dev python3 wine wine64
          locales)
if [ -z "${DISPLAY:-}" ]; then
    PACKAGES+=(xvfb xauth)
fi
install_missing_packages "${PACKAGES[@]}"
ensure_japanese_locale

# The release is the i686 build. Without Wine's 32-bit part (a kernel that runs
# no 32-bit program, or a mirror without its lists) the x86_64 build runs, in a
# 64-bit demo prefix of its own.
PRESET=mingw-i686
WINE_ARCH=win32
DEMO_NAME=prefix
WINE=wine
if ! install_wine32; then
    echo "Running the x86_64 build instead."
    PRESET=mingw-x86_64
    WINE_ARCH=win64
    DEMO_NAME=prefix64
    # Debian's wine command would take the 32-bit loader, which cannot start.
    WINE=/usr/lib/wine/wine64
    export WINELOADER=$WINE
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

echo "Building zolm.exe (${PRESET#mingw-}, release)"
build() {
    if [ ! -f "build/$PRESET/CMakeCache.txt" ]; then
        cmake --preset "$PRESET" || return
    fi
    cmake --build --preset "$PRESET" --target zolm
}
build >"$WORK/build.log" 2>&1 || { cat "$WORK/build.log"; exit 1; }
PROGRAM=$ROOT_DIR/build/$PRESET/zolm.exe

# Code page 932, as on Japanese Windows; no offer to install Mono or Gecko.
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

# Wine's output goes to a file: the Wine services a command starts inherit its
# descriptors and would keep a pipe open.
wine_output() {
    "$WINE" "$@" </dev/null >"$WORK/out" 2>/dev/null || true
    tr -d '\r' <"$WORK/out"
}

# unix_path WINDOWS_PATH, through drive_c rather than dosdevices/c:.
unix_path() {
    local path drive_link=$WINEPREFIX/dosdevices/c:/
    path=$(wine_output winepath.exe -u "$1")
    if [[ $path == "$drive_link"* ]]; then
        path=$WINEPREFIX/drive_c/${path#"$drive_link"}
    fi
    printf '%s' "$path"
}

# le16 N, le32 N: little-endian binary numbers.
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }

# tone HALF_PERIOD: 0.2 s of a square wave, 8 kHz, 8 bits, as raw samples.
# Cut in the shell, not by head: head leaving early would end the writer with
# SIGPIPE, which stops this script.
tone() {
    local LC_ALL=C half=$1 period wave=""
    period=$(head -c "$half" /dev/zero | tr '\0' '\260')$(head -c "$half" /dev/zero | tr '\0' '\120')
    while [ ${#wave} -lt 1600 ]; do wave+=$period; done
    printf '%s' "${wave:0:1600}"
}

# wav FILE HALF_PERIOD: a small valid PCM WAV file.
wav() {
    {
        printf 'RIFF'; le32 $((36 + 1600)); printf 'WAVEfmt '; le32 16
        le16 1; le16 1; le32 8000; le32 8000; le16 1; le16 8
        printf 'data'; le32 1600
        cat "$WORK/tone-$2"
    } >"$1"
}

make_demo_prefix() {
    echo "Making the demo prefix in $WINEPREFIX (once)"
    mkdir -p "$WINEPREFIX"
    WINEARCH=$WINE_ARCH wine_output wineboot.exe --init >/dev/null
    wine_output reg.exe add 'HKCU\Software\Wine\winedbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
    wine_output reg.exe add 'HKCU\Software\Sega\PuyoF' /v 'Install Path' /d 'C:\SEGA\PuyoFever' /f >/dev/null

    local drive=$WINEPREFIX/drive_c half cc nn
    for half in $(seq 3 24); do tone "$half" >"$WORK/tone-$half"; done
    mkdir -p "$drive/SEGA/PuyoFever/VOICE" "$drive/ZOLM/samples/replays" "$drive/ZOLM/samples/voices"
    for cc in $(seq 0 15); do
        for nn in $(seq 0 20); do
            wav "$drive/SEGA/PuyoFever/VOICE/$(printf 'CH%02dVO%02d.WAV' "$cc" "$nn")" $((3 + (cc + nn) % 16))
        done
    done
    for nn in $(seq 0 20); do
        wav "$drive/ZOLM/samples/voices/$(printf 'my_voice_%02d.WAV' "$nn")" $((24 - nn % 5))
    done
    for name in A B C; do
        printf 'ZOLM demo replay %s (not a real replay of the game)\n' "$name" \
            >"$drive/ZOLM/samples/replays/demo_$name.RPD"
    done
    mkdir -p "$(unix_path "$(wine_output cmd.exe /c 'echo %APPDATA%')")/Sega/PuyoF"
    # A 5 s timer, so that a replay dropped into the data folder is archived
    # within ten seconds. The settings file also means that the first-run backup
    # question is not asked; delete zolm.ini to see it (the timer is then 30 s).
    printf '[Replay]\r\nMonitorInterval=5000\r\n' >"$drive/ZOLM/zolm.ini"
    touch "$WINEPREFIX/.zolm-demo-ready"
}

# The display comes first: a Wine server started without one (making the demo
# prefix starts one) cannot give the program a window later.
VIRTUAL_DISPLAY=""
if [ -z "${DISPLAY:-}" ]; then
    start_virtual_display 1024x768x24
    trap 'kill "$VIRTUAL_DISPLAY" 2>/dev/null || true; rm -rf "$WORK"' EXIT
    echo "No display: running on the virtual display $DISPLAY, without its questions and menus."
fi

if [ -n "${WINEPREFIX:-}" ]; then
    echo "Using your Wine prefix $WINEPREFIX"
    RUN_DIR=$(dirname "$PROGRAM")
    WIN_PROGRAM=$(wine_output winepath.exe -w "$PROGRAM")
else
    export WINEPREFIX=${XDG_DATA_HOME:-$HOME/.local/share}/zolm-demo/$DEMO_NAME
    [ -f "$WINEPREFIX/.zolm-demo-ready" ] || make_demo_prefix
    RUN_DIR=$WINEPREFIX/drive_c/ZOLM
    cp "$PROGRAM" "$RUN_DIR/zolm.exe"
    WIN_PROGRAM='C:\ZOLM\zolm.exe'
fi


DATA_WINDOWS=$(wine_output cmd.exe /c 'echo %APPDATA%')'\Sega\PuyoF'
DATA_FOLDER=$(unix_path "$DATA_WINDOWS")
INTERVAL=30
if [ -f "$RUN_DIR/zolm.ini" ]; then
    value=$(tr -d '\r' <"$RUN_DIR/zolm.ini" | sed -n 's/^MonitorInterval=\([0-9]*\)$/\1/p' | head -1)
    if [ -n "$value" ]; then
        INTERVAL=$(((value < 5000 ? 5000 : value) / 1000))
    fi
fi

cat <<EOF

ZOLM runs now, as an icon in the notification area ("Wine System Tray").
  Game data folder:  $DATA_FOLDER
  Settings file:     $RUN_DIR/zolm.ini
Drop a replay there, for example
  cp some.RPD "$DATA_FOLDER/REPLAY005.RPD"
and it is archived below that folder as YYYY/MM/DD/YYYY-MM-DDTHH-MM-SS.RPD, named
from the file's time, one to two timer periods later (now every $INTERVAL s; the
period is MonitorInterval in the settings file, at least 5000 ms).
The icon's menu switches modes, loads replays, installs voices and exits.
Ctrl-C here ends ZOLM the orderly way.

EOF

# ZOLM runs in a session of its own, so that Ctrl-C reaches this script only,
# which then asks it to close (taskkill without /f sends WM_CLOSE).
setsid "$WINE" "$WIN_PROGRAM" </dev/null >/dev/null 2>&1 &
ZOLM=$!
trap '"$WINE" taskkill.exe /im zolm.exe </dev/null >/dev/null 2>&1 || true' INT TERM
status=0
while :; do
    wait "$ZOLM" && status=0 || status=$?
    kill -0 "$ZOLM" 2>/dev/null || break
done
echo "ZOLM ended with exit code $status."
exit "$status"
