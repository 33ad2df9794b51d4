#!/usr/bin/env bash
# A logoff while the program runs: the session may end, the tray icon goes, and
# the settings are written before the process is ended, so that the next start
# does not offer the first-run backup again.
source "$(dirname "$0")/lib.sh"
e2e_setup

start_program first
answer_first_run first no
[ ! -e "$INI" ] || fail "the INI file was written before the end of the run"

wine_quiet wineboot.exe --end-session || fail "wineboot --end-session failed"
expect_exit first 0
[ -f "$INI" ] || fail "the session's end wrote no INI file"
expect_all_keys "$INI"

expect_quiet_start second
