#!/usr/bin/env bash
# A first start where the game is not installed: Yes to the backup question is
# answered with the message that the install path was not found, and nothing
# is copied; the program runs on and saves an empty install folder.
source "$(dirname "$0")/lib.sh"
e2e_setup
wine_quiet reg.exe delete 'HKCU\Software\Sega\PuyoF' /f || fail "cannot remove the game's registry key"

start_program first
expect_box first "$FIRST_RUN_QUESTION" yes
expect_box first "ぷよぷよフィーバーのインストールパスが見つかりませんでした。
連載ボイスファイルのバックアップは作成されません。" ok
expect_icon first present
close_program first

[ -z "$(find "$ROOT" -name _ORIGINAL)" ] || fail "a backup folder was made"
[ "$(tr -d '\r' <"$INI" | grep -c '^InstallFolder=$')" = 1 ] || fail "InstallFolder is not saved empty"
[ "$(ini_value Replay DataFolder)" = "$WIN_DATA" ] || fail "DataFolder saved as $(ini_value Replay DataFolder)"
