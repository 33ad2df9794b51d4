#!/usr/bin/env bash
# A second start while the program runs asks first. No leaves no trace; Yes
# runs a second instance beside the first, and each running instance counts: a
# start asks while either runs. An instance ended by force leaves nothing that
# makes the next start ask. A MonitorInterval that is no usable period keeps
# archiving on with the default period, and stays in the INI file as written.
source "$(dirname "$0")/lib.sh"
e2e_setup
write_ini <<'INI'
[Replay]
MonitorInterval=-1
INI
QUESTION="ZOLM は既に起動しています。
それでも起動しますか？"
replay 5 "replay of slot 5" "2007-05-12 21:30:05"

start_program first
expect_icon first present
ini_before=$(md5sum <"$INI")

start_program declined
expect_box declined "$QUESTION" no
expect_exit declined 1
expect_icon declined absent
[ "$(md5sum <"$INI")" = "$ini_before" ] || fail "declining the second start changed the INI file"
expect_icon first present

start_program accepted
expect_box accepted "$QUESTION" yes
expect_icon accepted present
expect_icon first present
close_program accepted
expect_icon first present

# The accepted instance did not take the first one's mark away with it.
start_program again
expect_box again "$QUESTION" no
expect_exit again 1

# Nor does the first take away the mark of one started with Yes.
start_program second
expect_box second "$QUESTION" yes
expect_icon second present
close_program first
start_program third
expect_box third "$QUESTION" no
expect_exit third 1

# With the default period of 30 s, two scans archive the replay within a minute
# or so of the start of either instance.
archived=$DATA/2007/05/12/2007-05-12T21-30-05.RPD
wait_until 100 test -e "$archived" || fail "slot 5 was not archived with MonitorInterval=-1"

# Ended by force, the second instance runs no close sequence.
wine_quiet taskkill.exe /f /pid "${PID[second]}" || fail "cannot end the second instance"
wait_until 30 grep -q '^exit ' "$LOG/start-second.out" || fail "the second instance did not end"

expect_quiet_start alone
[ "$(ini_value Replay MonitorInterval)" = -1 ] || fail "MonitorInterval saved as $(ini_value Replay MonitorInterval)"
