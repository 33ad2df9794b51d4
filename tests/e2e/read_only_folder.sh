#!/usr/bin/env bash
# The program in a folder that takes no file (Program Files to a user): its
# settings go to %APPDATA%\ZOLM\zolm.ini, and the next start asks nothing.
source "$(dirname "$0")/lib.sh"
# An earlier run that was killed may have left the folder locked.
[ -d "$BIN" ] && chattr -i "$BIN" 2>/dev/null || true
e2e_setup
run_driver appdata || fail "no application-data folder"
APPDATA_INI=$(unix_path "$DRIVER_OUT")/ZOLM/zolm.ini
rm -rf "$(dirname "$APPDATA_INI")"

E2E_CLEANUP='chattr -i "$BIN"'
chattr +i "$BIN" || fail "chattr +i is refused here"
if touch "$BIN/probe" 2>/dev/null; then fail "chattr +i does not keep files out of the folder"; fi

start_program first
answer_first_run first no
close_program first
[ ! -e "$INI" ] || fail "an INI file beside the program"
[ -f "$APPDATA_INI" ] || fail "no INI file in the application data"
expect_all_keys "$APPDATA_INI"

expect_quiet_start second
rm -rf "$(dirname "$APPDATA_INI")"
