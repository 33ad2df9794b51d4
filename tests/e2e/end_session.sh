#!/usr/bin/env bash
# A logoff while the program runs: the session may end, the tray icon goes, and
# the settings are written before the process is ended, so that the next start
# does not offer the first-run backup again.
source "$(dirname "$0")/lib.sh"
e2e_setup

start_program first
expect_box first "ZOLM の初回起動です。
連鎖ボイスファイルのバックアップを作成しますか？
今すぐ作成するなら「はい」を、
作成せずに起動するなら「いいえ」を押してください。" no
expect_icon first present
[ ! -e "$INI" ] || fail "the INI file was written before the end of the run"

wine_quiet wineboot.exe --end-session || fail "wineboot --end-session failed"
expect_exit first 0
[ -f "$INI" ] || fail "the session's end wrote no INI file"
[ "$(tr -d '\r' <"$INI" | grep -c '=')" = 16 ] || fail "the INI file does not hold 16 keys"

start_program second
expect_icon second present
run_driver no-box ZOLM 0 --pid "${PID[second]}" || fail "the start after the session's end asked: $DRIVER_OUT"
close_program second
