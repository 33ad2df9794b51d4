#!/usr/bin/env bash
# What a player reaches for: 最近のリプレイ lists the archive's newest days, and
# its first entry loads the newest day into the slots with no picker;
# Windows と一緒に起動 writes this program into the user's Run key, and a second
# click takes it out again.
source "$(dirname "$0")/lib.sh"
e2e_setup
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
E2E_CLEANUP='wine_quiet reg.exe delete "$RUN_KEY" /v ZOLM /f'
wine_quiet reg.exe delete "$RUN_KEY" /v ZOLM /f || true
# archived DAY TIME CONTENT: a replay of the archive, named from its time.
archived() {
    local file="$DATA/${1//-//}/$1T$2.RPD"
    mkdir -p "$(dirname "$file")"
    printf '%s' "$3" >"$file"
    touch -d "$1 ${2//-/:}" "$file"
}
archived 2025-01-01 10-00-00 "oldest"
archived 2026-11-30 10-00-00 "older"
archived 2026-12-06 21-00-00 "newest A"
archived 2026-12-06 22-00-00 "newest B"
write_ini <<INI
[Replay]
MonitorInterval=5000
INI

start_program main
expect_icon main present
run_driver tray "${PID[main]}" 1 WM_RBUTTONDOWN || fail "cannot click the tray icon"
# プレイモード, ブラウズモード, リプレイ, 最近のリプレイ; its first entry.
run_driver menu-keys "${PID[main]}" down,down,down,down,return,return 20 || fail "no recent replays: $DRIVER_OUT"
loaded() { same_content "$DATA/REPLAY000.RPD" "newest A" && same_content "$DATA/REPLAY001.RPD" "newest B"; }
wait_until 30 loaded || fail "the newest day was not loaded: $(ls -R "$DATA")"
[ ! -e "$DATA/REPLAY002.RPD" ] || fail "a third slot was written"

# run_value: the Run key's value ZOLM, as reg.exe shows it ("" when there is none).
run_value() {
    "$RUNNER" reg.exe query "$RUN_KEY" /v ZOLM </dev/null >"$LOG/reg.out" 2>/dev/null || true
    tr -d '\r' <"$LOG/reg.out" | sed -n 's/^ *ZOLM *REG_SZ *//p'
}
menu_command main w
value_written() { [ "$(run_value)" = "\"$WIN_ROOT\\bin\\zolm.exe\"" ]; }
wait_until 20 value_written || fail "the Run value is: $(run_value)"
menu_command main w
value_gone() { [ -z "$(run_value)" ]; }
wait_until 20 value_gone || fail "the Run value stays: $(run_value)"

menu_command main x
expect_exit main 0
[ "$(ini_value Replay LastOpenedFolder)" = "${WIN_DATA}2026\\12\\06" ] ||
    fail "LastOpenedFolder saved as $(ini_value Replay LastOpenedFolder)"
