#!/usr/bin/env bash
# Settings that once lost files or froze the program: a first-run backup over
# a backup tree that exists keeps the originals in it; a slot range as wide as
# MaxIndex=-1 still archives and leaves the menu responsive; an archive format
# that climbs out of the data folder gives way to the default.
source "$(dirname "$0")/lib.sh"
e2e_setup
VOICE=$GAME/VOICE
mkdir -p "$VOICE/_ORIGINAL/AMI"
for nn in 00 01; do printf 'installed voice %s' "$nn" >"$VOICE/CH00VO$nn.WAV"; done
printf 'original voice 00' >"$VOICE/_ORIGINAL/AMI/CH00VO00.WAV"

start_program first
answer_first_run first yes
same_content "$VOICE/_ORIGINAL/AMI/CH00VO00.WAV" "original voice 00" || fail "the saved original was replaced"
same_content "$VOICE/_ORIGINAL/AMI/CH00VO01.WAV" "installed voice 01" || fail "the missing voice was not backed up"
close_program first

set_ini_value Replay MaxIndex -1
set_ini_value Replay MonitorInterval 5000
set_ini_value Replay FilenameStoredFormat2 '..\..\x\%Y.RPD'
replay 5 "replay of slot 5" "2007-05-12 21:30:05"

start_program main
wait_until 40 test ! -e "$DATA/REPLAY005.RPD" || fail "slot 5 was not archived"
same_content "$DATA/2007/05/12/2007-05-12T21-30-05.RPD" "replay of slot 5" || fail "slot 5 archived wrongly"
[ ! -e "$DATA/../../x" ] || fail "a replay was written outside the data folder"
# Ticks have run; none may hold the message loop.
run_driver tray "${PID[main]}" 1 WM_RBUTTONDOWN || fail "cannot click the tray icon"
run_driver menu-keys "${PID[main]}" escape 5 || fail "the menu did not open at once: $DRIVER_OUT"
close_program main
[ "$(ini_value Replay MaxIndex)" = -1 ] || fail "MaxIndex saved as $(ini_value Replay MaxIndex)"
[ "$(ini_value Replay FilenameStoredFormat2)" = '..\..\x\%Y.RPD' ] ||
    fail "FilenameStoredFormat2 saved as $(ini_value Replay FilenameStoredFormat2)"
