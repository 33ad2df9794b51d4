#!/usr/bin/env bash
# The first start, without an INI file: the voice backup is offered once the
# program is sure to run, a normal end writes every setting in order, and the
# next start asks nothing.
source "$(dirname "$0")/lib.sh"
e2e_setup

start_program first
answer_first_run first no
[ ! -e "$INI" ] || fail "the INI file was written before the end of the run"
close_program first

expected=$(mktemp)
cat >"$expected" <<INI
[System]
InstallFolder=$WIN_GAME
[Replay]
DataFolder=$WIN_DATA
CopySrc=*.RPD
FilenameFormat=REPLAY%03d.RPD
FilenameStoredFormat2=%Y\\%m\\%d\\%Y-%m-%dT%H-%M-%S.RPD
LastOpenedFolder=
MonitorInterval=30000
MaxIndex=999
MinIndex=0
[RensaVoice]
FolderName=VOICE
CopySrc=*.WAV
FilenameFormat=CH%02dVO%02d.WAV
FilenameExistsFormat=*%02d.WAV
FilenameCharaFormat=CH%02dVO*.WAV
FolderNameOriginal=_ORIGINAL
LastOpenedFolder=
INI
tr -d '\r' <"$INI" | grep -v '^$' | diff -u "$expected" - >"$LOG/ini.diff" ||
    fail "INI file after the first run: $(cat "$LOG/ini.diff")"
rm -f "$expected"
[ ! -e "$GAME/VOICE/_ORIGINAL" ] || fail "No to the backup question still made a backup"

# Once the INI file exists the question is not asked again: the tray icon,
# added after the question would have been answered, appears by itself.
start_program second
expect_icon second present
run_driver no-box ZOLM 0 --pid "${PID[second]}" || fail "second start asked: $DRIVER_OUT"

# A restarted shell has lost the icon and says so: the icon comes back.
run_driver forget-icon "${WINDOW[second]}" 1 || fail "cannot remove the icon from the shell"
expect_icon second absent
run_driver broadcast-taskbar-created || fail "cannot broadcast TaskbarCreated"
expect_icon second present
close_program second
