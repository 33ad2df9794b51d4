#!/usr/bin/env bash
# Two replays created within the same second, in two slots, are both archived,
# under two names, each with its own content; a later replay with an archive
# name already taken does not replace the archived one either.
source "$(dirname "$0")/lib.sh"
e2e_setup
write_ini <<'INI'
[Replay]
MonitorInterval=5000
INI
replay 1 "first replay" "2007-05-12 21:30:05"
replay 2 "second replay" "2007-05-12 21:30:05"

start_program main
day=$DATA/2007/05/12
slots_empty() { [ ! -e "$DATA/REPLAY001.RPD" ] && [ ! -e "$DATA/REPLAY002.RPD" ]; }
wait_until 40 slots_empty || fail "the slots were not emptied"

# Lower slots are moved first: slot 1 takes the plain name.
same_content "$day/2007-05-12T21-30-05.RPD" "first replay" || fail "slot 1 is not under the plain name"
archived_with() {
    local file
    for file in "$day"/*.RPD; do
        same_content "$file" "$1" && return 0
    done
    return 1
}
[ "$(find "$day" -type f | wc -l)" = 2 ] || fail "expected two archived replays"
archived_with "second replay" || fail "the second replay was lost"

# The game writes slot 1 again, with a replay of the same second.
replay 1 "third replay" "2007-05-12 21:30:05"
wait_until 40 test ! -e "$DATA/REPLAY001.RPD" || fail "the new replay of slot 1 was not archived"
[ "$(find "$day" -type f | wc -l)" = 3 ] || fail "expected three archived replays"
same_content "$day/2007-05-12T21-30-05.RPD" "first replay" || fail "an archived replay was replaced"
archived_with "second replay" || fail "the second replay was lost"
archived_with "third replay" || fail "the third replay was lost"

close_program main
