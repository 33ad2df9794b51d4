# Shared by the end-to-end tests of the real zolm.exe under Wine. A test sources
# this file, calls e2e_setup, and then drives the program through the driver.
#
# Each test gets a folder of its own inside the build's Wine prefix,
# C:\e2e\<test>, with a copy of the program in bin\ (so that it has an INI file
# of its own), a game install folder in game\ and HOME in home\. The game's data
# folder below the prefix's application-data folder is emptied first.
#
# Set by the build (tests/e2e/CMakeLists.txt):
#   ZOLM_E2E_BUILD_DIR  the MinGW build folder (its Wine prefix is <it>/wine)
#   ZOLM_E2E_ARCH       win32 or win64
#   ZOLM_E2E_PROGRAM    zolm.exe
#   ZOLM_E2E_DRIVER     zolm_e2e_driver.exe
#
# Output of every Wine process goes to files, never to a pipe: a process started
# under Wine, and the Wine services it starts, inherit the Unix descriptors of
# their parent and would hold a pipe open as long as they live.

set -euo pipefail

: "${ZOLM_E2E_BUILD_DIR:?}" "${ZOLM_E2E_ARCH:?}" "${ZOLM_E2E_PROGRAM:?}" "${ZOLM_E2E_DRIVER:?}"

E2E_NAME=$(basename "$0" .sh)
E2E_SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
RUNNER=$E2E_SOURCE_DIR/tools/wine-run.sh
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

export ZOLM_BUILD_DIR=$ZOLM_E2E_BUILD_DIR
export ZOLM_WINEARCH=$ZOLM_E2E_ARCH
export WINEPREFIX=$ZOLM_E2E_BUILD_DIR/wine
# Replay names come from local times: one zone for touch and for Wine, and not
# UTC, so that a local/UTC mix-up shows. Japan's, written out so that it needs
# no time zone database.
export TZ=JST-9

ROOT=$WINEPREFIX/drive_c/e2e/$E2E_NAME
WIN_ROOT="C:\\e2e\\$E2E_NAME"
BIN=$ROOT/bin
INI=$BIN/zolm.ini
GAME=$ROOT/game
WIN_GAME="$WIN_ROOT\\game"
LOG=$ROOT/log
DATA=""        # the game's data folder (Unix path), set by e2e_setup
WIN_DATA=""    # the same as the program sees it

declare -A PID=()      # Windows process id of each started program, by tag
declare -A WINDOW=()   # its hidden window

say() { printf '%s\n' "$*"; }

now_ms() { date +%s%3N; }

# wait_until SECONDS COMMAND...: polls COMMAND every 0.1 s until it succeeds.
wait_until() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.1
    done
}

stop_wine() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
}

REPORTED=""
fail() {
    REPORTED=yes
    say "FAIL [$ZOLM_E2E_ARCH] $E2E_NAME: $*"
    if [ -d "$LOG" ]; then
        say "--- last driver commands:"
        tail -n 12 "$LOG/driver.log" 2>/dev/null || true
        run_driver list >/dev/null 2>&1 || true
        say "--- windows:"
        cat "$LOG/driver.out" 2>/dev/null || true
        for file in "$LOG"/start-*.out; do
            [ -e "$file" ] || continue
            say "--- $(basename "$file"):"
            tr -d '\r' <"$file"
        done
        if [ -f "$INI" ]; then
            say "--- zolm.ini:"
            tr -d '\r' <"$INI" | iconv -f CP932 -t UTF-8 || true
        fi
        say "--- files:"
        find "$ROOT" "$DATA" \( -path "$ROOT/home" -o -path "$LOG" \) -prune -o -print 2>/dev/null | sort || true
    fi
    exit 1
}

# E2E_CLEANUP: commands a test needs run at its end, whatever the outcome.
E2E_CLEANUP=""

on_exit() {
    local status=$?
    if [ -n "$E2E_CLEANUP" ]; then eval "$E2E_CLEANUP" || true; fi
    stop_wine
    wait 2>/dev/null || true
    if [ "$status" -eq 0 ]; then
        say "PASS [$ZOLM_E2E_ARCH] $E2E_NAME"
    elif [ -z "$REPORTED" ]; then
        say "FAIL [$ZOLM_E2E_ARCH] $E2E_NAME: a step failed (status $status, line ${FAILED_LINE:-?})"
    fi
}

# wine_quiet PROGRAM ARGS...: a Wine program whose output does not matter.
wine_quiet() {
    "$RUNNER" "$@" </dev/null >>"$LOG/wine.out" 2>&1
}

# run_driver COMMAND ARGS...: runs the driver and leaves its output, with the
# carriage returns of the Windows runtime removed, in $LOG/driver.out and
# $DRIVER_OUT; returns the driver's exit code.
DRIVER_OUT=""
run_driver() {
    local status=0
    "$RUNNER" "$ZOLM_E2E_DRIVER" "$@" </dev/null >"$LOG/driver.raw" 2>>"$LOG/driver.err" || status=$?
    tr -d '\r' <"$LOG/driver.raw" >"$LOG/driver.out"
    DRIVER_OUT=$(cat "$LOG/driver.out")
    printf '%s\n' "driver $*: $DRIVER_OUT" >>"$LOG/driver.log"
    return $status
}

# cp932_hex TEXT: the code page 932 bytes of a UTF-8 text, in hex.
cp932_hex() {
    printf '%s' "$1" | iconv -f UTF-8 -t CP932 | od -An -v -tx1 | tr -d ' \n'
}

unix_path() {
    local path=${1//\\//}
    printf '%s/drive_c/%s' "$WINEPREFIX" "${path#[Cc]:/}"
}

e2e_setup() {
    trap on_exit EXIT
    trap 'FAILED_LINE=$LINENO' ERR
    # Whatever an earlier run left behind (processes, global atoms) goes first.
    stop_wine
    rm -rf "$ROOT"
    mkdir -p "$BIN" "$GAME" "$LOG" "$ROOT/home"
    export ZOLM_WINE_HOME=$ROOT/home
    cp "$ZOLM_E2E_PROGRAM" "$BIN/zolm.exe"

    run_driver appdata || fail "no application-data folder"
    WIN_DATA="$DRIVER_OUT\\Sega\\PuyoF\\"
    DATA=$(unix_path "$DRIVER_OUT")/Sega/PuyoF
    rm -rf "$DATA"
    mkdir -p "$DATA"
    set_install_path "$WIN_GAME"
}

set_install_path() {
    wine_quiet reg.exe add 'HKCU\Software\Sega\PuyoF' /v 'Install Path' /d "$1" /f ||
        fail "cannot set the install path"
}

# write_ini < TEXT: the program's INI file, in code page 932 with CRLF lines.
write_ini() {
    iconv -f UTF-8 -t CP932 | sed 's/$/\r/' >"$INI"
}

# ini_value SECTION KEY: a value of the INI file as UTF-8.
ini_value() {
    tr -d '\r' <"$INI" | iconv -f CP932 -t UTF-8 |
        awk -v section="[$1]" -v key="$2" '
            /^\[/ { inside = ($0 == section); next }
            inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }'
}

# set_ini_value SECTION KEY VALUE: changes one value of an existing INI file.
set_ini_value() {
    tr -d '\r' <"$INI" | iconv -f CP932 -t UTF-8 |
        INI_VALUE=$3 awk -v section="[$1]" -v key="$2" '
            /^\[/ { inside = ($0 == section) }
            inside && index($0, key "=") == 1 { $0 = key "=" ENVIRON["INI_VALUE"] }
            { print }' >"$LOG/ini.new"
    write_ini <"$LOG/ini.new"
    [ "$(ini_value "$1" "$2")" = "$3" ] || fail "cannot set $1/$2 in the INI file"
}

# settle_for_picker FOLDER: Wine's folder picker finds the folder it is to
# preselect by comparing item ids that carry each folder's last-access time. A
# folder that has changed since it was last read gets a new access time when
# the picker lists it (relatime), is then not found, and OK takes the desktop.
# Reading every level of the path once settles their access times.
settle_for_picker() {
    local folder=$1
    while [ "$folder" != "$WINEPREFIX/drive_c" ] && [ "$folder" != / ]; do
        ls -a "$folder" >/dev/null
        folder=$(dirname "$folder")
    done
}

# start_program TAG: starts the test's copy of the program, with the driver as
# its parent, and waits until its hidden window exists; sets PID[TAG] and
# WINDOW[TAG].
start_program() {
    local tag=$1 out=$LOG/start-$1.out
    "$RUNNER" "$ZOLM_E2E_DRIVER" start "$WIN_ROOT\\bin\\zolm.exe" --wait-window 60 \
        </dev/null >"$out" 2>"$LOG/start-$tag.err" &
    wait_until 60 grep -q '^window \|^no-window\|^exit \|^error' "$out" ||
        fail "$tag: the program did not start"
    grep -q '^window ' "$out" || fail "$tag: no hidden window"
    PID[$tag]=$(tr -d '\r' <"$out" | sed -n 's/^pid //p')
    WINDOW[$tag]=$(tr -d '\r' <"$out" | sed -n 's/^window //p')
}

# exit_code TAG: the exit code of a started program, once it has ended.
exit_code() {
    tr -d '\r' <"$LOG/start-$1.out" | sed -n 's/^exit //p'
}

# expect_exit TAG CODE [SECONDS]
expect_exit() {
    local tag=$1 expected=$2 seconds=${3:-30}
    wait_until "$seconds" grep -q '^exit ' "$LOG/start-$tag.out" || fail "$tag did not end"
    [ "$(exit_code "$tag")" = "$expected" ] ||
        fail "$tag ended with exit code $(exit_code "$tag"), expected $expected"
}

# expect_icon TAG present|absent
expect_icon() {
    run_driver tray-icon "${WINDOW[$1]}" 1 "$2" 20 || fail "$1: tray icon not $2"
}

# close_program TAG: WM_CLOSE to the hidden window; expects exit code 0 and the
# tray icon gone.
close_program() {
    run_driver close "${PID[$1]}" || fail "$1: cannot close"
    expect_exit "$1" 0
    expect_icon "$1" absent
}

# menu_command TAG LETTER: opens the tray menu as a right click on the icon does
# and chooses the item of that mnemonic letter.
menu_command() {
    run_driver tray "${PID[$1]}" 1 WM_RBUTTONDOWN || fail "$1: cannot click the tray icon"
    run_driver menu-char "${PID[$1]}" "$2" 20 || fail "$1: menu item '$2': $DRIVER_OUT"
}

# expect_box TAG TEXT ANSWER: a message box of the program, captioned "ZOLM",
# with exactly TEXT (UTF-8 here, code page 932 in the box), answered.
expect_box() {
    run_driver wait-box ZOLM 30 --pid "${PID[$1]}" --text-hex "$(cp932_hex "$2")" --answer "$3" ||
        fail "$1: expected message box: $DRIVER_OUT"
}

# The first start's offer of the voice backup.
FIRST_RUN_QUESTION="ZOLM の初回起動です。
連鎖ボイスファイルのバックアップを作成しますか？
今すぐ作成するなら「はい」を、
作成せずに起動するなら「いいえ」を押してください。"

# answer_first_run TAG ANSWER: the first-run question answered yes or no, and
# the tray icon there afterwards.
answer_first_run() {
    expect_box "$1" "$FIRST_RUN_QUESTION" "$2"
    expect_icon "$1" present
}

# expect_all_keys FILE: an INI file that holds every one of the 16 settings.
expect_all_keys() {
    [ "$(tr -d '\r' <"$1" | grep -c '=')" = 16 ] || fail "the INI file $1 does not hold 16 keys"
}

# expect_quiet_start TAG: a start that asks nothing, closed again.
expect_quiet_start() {
    start_program "$1"
    expect_icon "$1" present
    run_driver no-box ZOLM 0 --pid "${PID[$1]}" || fail "$1: the start asked: $DRIVER_OUT"
    close_program "$1"
}

# replay SLOT CONTENT TIME: a replay written by the game into a slot, last
# written (and so, under Wine, created) at TIME local time.
replay() {
    local file
    file=$DATA/$(printf 'REPLAY%03d.RPD' "$1")
    printf '%s' "$2" >"$file"
    touch -d "$3" "$file"
}

# same_content FILE TEXT
same_content() {
    [ -f "$1" ] && [ "$(cat "$1")" = "$2" ]
}
