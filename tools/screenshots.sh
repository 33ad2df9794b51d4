#!/usr/bin/env bash
# Takes the screenshots of the players' guide (docs/ja/images/) from the real
# release zolm.exe under Wine, on a virtual display, installing first
# whatever is missing (as root, or through sudo).
#
#   bash tools/screenshots.sh [output folder]      (default: docs/ja/images)
#
# A prefix of its own, made anew each time in build/<preset>/screenshots,
# holds a small game install and a folder of voices. The program is started
# as a new player starts it (no zolm.ini: the first-run question) and driven
# from outside by the end-to-end tests' driver: the tray menu, the folder picker
# of the voice command, and the character popup. Each window is cut out of the
# screen as the difference between the screen with it and without it.
# On a machine whose kernel runs no 32-bit programs the x86_64 build stands in.
set -euo pipefail

cd "$(dirname "$0")/.."
ROOT_DIR=$(pwd)
OUT=$(realpath -m "${1:-docs/ja/images}")

# shellcheck source=tools/setup.sh
source "$ROOT_DIR/tools/setup.sh"
install_missing_packages g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix cmake ninja-build libgtest-dev python3 \
    wine wine64 xvfb xauth locales imagemagick fonts-ipafont-gothic || exit 1
ensure_japanese_locale

# The release build, i686; x86_64 without Wine's 32-bit part (the windows look
# the same).
PRESET=mingw-i686 ARCH=win32
if ! install_wine32; then
    echo "Taking the screenshots from the x86_64 build."
    PRESET=mingw-x86_64 ARCH=win64
fi
BUILD=$ROOT_DIR/build/$PRESET
echo "Building zolm.exe and the driver ($PRESET)"
{
    [ -f "$BUILD/CMakeCache.txt" ] || cmake --preset "$PRESET"
    cmake --build --preset "$PRESET" --target zolm zolm_e2e_driver
} >/dev/null

SHOTS=$BUILD/screenshots
"${WINESERVER:-wineserver}" -k >/dev/null 2>&1 || true
rm -rf "$SHOTS"
mkdir -p "$SHOTS" "$OUT"
export ZOLM_BUILD_DIR=$BUILD ZOLM_WINEARCH=$ARCH
export ZOLM_WINEPREFIX=$SHOTS/prefix ZOLM_WINE_HOME=$SHOTS/home
export WINEPREFIX=$ZOLM_WINEPREFIX
RUNNER=$ROOT_DIR/tools/wine-run.sh
DRIVER=$BUILD/zolm_e2e_driver.exe

# A virtual display, started before any Wine process, which keeps the display it
# was started with.
start_virtual_display 800x600x24
cleanup() {
    "${WINESERVER:-wineserver}" -k >/dev/null 2>&1 || true
    kill "$VIRTUAL_DISPLAY" 2>/dev/null || true
}
trap cleanup EXIT

wine_quiet() { "$RUNNER" "$@" </dev/null >>"$SHOTS/wine.out" 2>&1; }

# driver COMMAND ARGS...: the driver's output, without carriage returns.
driver() {
    "$RUNNER" "$DRIVER" "$@" </dev/null >"$SHOTS/driver.raw" 2>>"$SHOTS/driver.err" || return
    tr -d '\r' <"$SHOTS/driver.raw"
}

echo "Making the prefix"
wine_quiet reg.exe add 'HKCU\Software\Sega\PuyoF' /v 'Install Path' /d 'C:\SEGA\PuyoFever' /f
# Wine draws the windows' frames and captions itself: the display has no window manager.
wine_quiet reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f
DRIVE=$WINEPREFIX/drive_c
# Wine's own fonts (Tahoma, and Marlett for the caption buttons) are not always
# found in its data folder; in the prefix's Fonts folder they are.
cp /usr/share/wine/fonts/*.ttf "$DRIVE/windows/Fonts/" 2>/dev/null || true
mkdir -p "$DRIVE/SEGA/PuyoFever/VOICE" "$DRIVE/ZOLM" "$DRIVE/AmitieVoices"
for nn in $(seq -w 0 20); do
    : >"$DRIVE/SEGA/PuyoFever/VOICE/CH00VO$nn.WAV"
    : >"$DRIVE/AmitieVoices/amitie_$nn.WAV"
done
cp "$BUILD/zolm.exe" "$DRIVE/ZOLM/zolm.exe"
# A few days of archived replays, so that the recent replays are there to choose.
APPDATA_FOLDER=$(driver appdata)
ARCHIVE=$DRIVE/${APPDATA_FOLDER#[Cc]:\\}
ARCHIVE=${ARCHIVE//\\//}/Sega/PuyoF
for day in 2026/12/05 2026/12/06; do
    mkdir -p "$ARCHIVE/$day"
    for time in 21-00-00 21-05-00 21-10-00; do : >"$ARCHIVE/$day/${day//\//-}T$time.RPD"; done
done

# baseline: remembers the screen as it is. shot NAME: the part of the screen
# that differs from the baseline, as OUT/NAME.png.
baseline() { import -window root "$SHOTS/baseline.png"; }
shot() {
    local box
    import -window root "$SHOTS/now.png"
    box=$(convert "$SHOTS/baseline.png" "$SHOTS/now.png" -compose difference -composite -trim \
        -format '%wx%h%O' info:)
    convert "$SHOTS/now.png" -crop "$box" +repage -strip "$OUT/$1.png"
    echo "  $OUT/$1.png ($box)"
}

# start_program: starts C:\ZOLM\zolm.exe and sets PID.
start_program() {
    "$RUNNER" "$DRIVER" start 'C:\ZOLM\zolm.exe' --wait-window 60 </dev/null >"$SHOTS/start.out" 2>&1 &
    for _ in $(seq 300); do
        grep -q '^window ' "$SHOTS/start.out" 2>/dev/null && break
        sleep 0.2
    done
    PID=$(tr -d '\r' <"$SHOTS/start.out" | sed -n 's/^pid //p')
    [ -n "$PID" ] || { echo "zolm.exe did not start" >&2; exit 1; }
}

# close_program: closes the program the orderly way, which writes zolm.ini.
close_program() {
    driver close "$PID" >/dev/null || { echo "cannot close zolm.exe" >&2; exit 1; }
    for _ in $(seq 150); do
        grep -q '^exit ' "$SHOTS/start.out" && return
        sleep 0.2
    done
    echo "zolm.exe did not end" >&2
    exit 1
}

# visible PID CLASS: waits until the program shows a window of that class with a
# title (a dialog) or any (a menu), and lets it finish drawing.
visible() {
    local pattern="pid $1 visible class $2 title"
    [ "$2" = "#32770" ] && pattern="$pattern [0-9a-f]"
    for _ in $(seq 100); do
        driver list "$1" | grep -q "$pattern" && { sleep 2; return; }
        sleep 0.2
    done
    echo "no window of class $2" >&2
    exit 1
}

echo "Taking the screenshots"
baseline
start_program
visible "$PID" '#32770'
shot first_run
driver wait-box ZOLM 10 --pid "$PID" --answer no >/dev/null
close_program

# The second start finds its settings; the voice command's picker opens at the
# folder of voices chosen last time, and アミティ wears the set installed from
# it. Wine's picker finds the folder only when its folders were read before
# (see tests/e2e/lib.sh).
INI=$DRIVE/ZOLM/zolm.ini
{
    tr -d '\r' <"$INI" | iconv -f CP932 -t UTF-8 | sed 's/^LastOpenedFolder=$/LastOpenedFolder=C:\\AmitieVoices/'
    printf '[VoiceSets]\nAMI=AmitieVoices\n'
} | iconv -f UTF-8 -t CP932 | sed 's/$/\r/' >"$SHOTS/zolm.ini"
mv "$SHOTS/zolm.ini" "$INI"
ls "$DRIVE" "$DRIVE/AmitieVoices" >/dev/null
start_program
sleep 2
baseline

driver tray "$PID" 1 WM_RBUTTONDOWN >/dev/null
visible "$PID" '#32768'
shot tray_menu
driver menu-keys "$PID" escape 10 >/dev/null
sleep 1
baseline

driver tray "$PID" 1 WM_RBUTTONDOWN >/dev/null
driver menu-char "$PID" v 10 >/dev/null
visible "$PID" '#32770'
shot folder_picker
driver picker "$PID" 10 --answer ok >/dev/null
visible "$PID" '#32768'
shot character_popup
driver menu-keys "$PID" escape 10 >/dev/null

close_program
echo "Done."
