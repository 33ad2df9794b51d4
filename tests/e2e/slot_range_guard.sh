#!/usr/bin/env bash
# Equal slot bounds stand for the range 1 to 100: the scan covers slot 100 and
# not slot 0, and the corrected bounds are saved.
source "$(dirname "$0")/lib.sh"
e2e_setup
write_ini <<'INI'
[Replay]
MonitorInterval=5000
MinIndex=5
MaxIndex=5
INI
replay 0 "outside the range" "2007-05-12 10:00:00"
replay 100 "last slot of the range" "2007-05-12 21:30:05"

start_program main
wait_until 40 test ! -e "$DATA/REPLAY100.RPD" || fail "slot 100 was not archived"
same_content "$DATA/2007/05/12/2007-05-12T21-30-05.RPD" "last slot of the range" || fail "slot 100 archived wrongly"
# Slot 0 would have been moved by the same scan, before slot 100.
same_content "$DATA/REPLAY000.RPD" "outside the range" || fail "slot 0 was scanned"

close_program main
[ "$(ini_value Replay MinIndex)" = 1 ] || fail "MinIndex saved as $(ini_value Replay MinIndex)"
[ "$(ini_value Replay MaxIndex)" = 100 ] || fail "MaxIndex saved as $(ini_value Replay MaxIndex)"
