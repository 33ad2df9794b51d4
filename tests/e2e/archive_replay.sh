#!/usr/bin/env bash
# A replay that the game writes into a slot is moved into the dated archive
# tree by the second scan that finds it; a timer period below 5 s is raised to
# 5 s and saved so.
source "$(dirname "$0")/lib.sh"
e2e_setup
write_ini <<'INI'
[Replay]
MonitorInterval=1000
INI
replay 5 "replay of slot 5" "2007-05-12 21:30:05"

start_program main
started=$(now_ms)
archived=$DATA/2007/05/12/2007-05-12T21-30-05.RPD
wait_until 40 test -e "$archived" || fail "slot 5 was not archived"
elapsed=$(($(now_ms) - started))
[ ! -e "$DATA/REPLAY005.RPD" ] || fail "slot 5 still holds its replay"
same_content "$archived" "replay of slot 5" || fail "the archived replay lost its content"
# Two scans 5 s apart, not 1 s apart.
((elapsed >= 7000)) || fail "archived after ${elapsed} ms: the timer ran faster than every 5 s"

close_program main
[ "$(ini_value Replay MonitorInterval)" = 5000 ] || fail "MonitorInterval saved as $(ini_value Replay MonitorInterval)"
[ "$(ini_value System InstallFolder)" = "$WIN_GAME" ] || fail "InstallFolder saved as $(ini_value System InstallFolder)"
[ "$(ini_value Replay DataFolder)" = "$WIN_DATA" ] || fail "DataFolder saved as $(ini_value Replay DataFolder)"
expect_all_keys "$INI"
