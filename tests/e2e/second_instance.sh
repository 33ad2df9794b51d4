#!/usr/bin/env bash
# A second start while the program runs asks first. No leaves no trace; Yes
# runs a second instance beside the first, and the first still marks itself as
# running after the second has ended. Once the first has ended, a start asks
# nothing.
source "$(dirname "$0")/lib.sh"
e2e_setup
write_ini <<'INI'
[Replay]
MonitorInterval=30000
INI
QUESTION="ZOLM は既に起動しています。
それでも起動しますか？"

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

close_program first

start_program alone
expect_icon alone present
run_driver no-box ZOLM 0 --pid "${PID[alone]}" || fail "a start after the first had ended asked: $DRIVER_OUT"
close_program alone
