#!/usr/bin/env bash
# A load never costs a replay, nor doubles one: the game's replay in slot 0,
# not yet archived, goes into the archive before a load from the archive takes
# its slot, every question of the shell answered Yes. Left loaded at the exit,
# the slot files are copies of archived replays: after the next start they go
# to the recycle bin, and the archive gains nothing.
source "$(dirname "$0")/lib.sh"
e2e_setup
DAY=$DATA/2006/01/02
mkdir -p "$DAY"
# Archived replays, named from the times they were written at.
printf 'archived A' >"$DAY/2006-01-02T03-04-05.RPD"
touch -d "2006-01-02 03:04:05" "$DAY/2006-01-02T03-04-05.RPD"
printf 'archived B' >"$DAY/2006-01-02T03-04-06.RPD"
touch -d "2006-01-02 03:04:06" "$DAY/2006-01-02T03-04-06.RPD"
write_ini <<INI
[Replay]
MonitorInterval=5000
LastOpenedFolder=${WIN_DATA}2006\\01\\02
INI
replay 0 "game replay" "2007-05-12 21:30:05"
settle_for_picker "$DAY"

start_program first
expect_icon first present
menu_command first r
run_driver picker "${PID[first]}" 30 --answer ok || fail "no folder picker: $DRIVER_OUT"
run_driver answer-shell "${PID[first]}" 5 --answer yes || true
loaded() {
    same_content "$DATA/REPLAY000.RPD" "archived A" && same_content "$DATA/REPLAY001.RPD" "archived B" &&
        same_content "$DATA/2007/05/12/2007-05-12T21-30-05.RPD" "game replay"
}
wait_until 30 loaded || fail "the load lost or kept the game's replay: $(ls -R "$DATA")"
archive() { find "$DATA" -mindepth 2 -type f | sort; }
before=$(archive)
# In browse mode.
menu_command first x
expect_exit first 0

start_program second
expect_icon second present
TRASH=$ROOT/home/.local/share/Trash/files
recycled() { [ "$(ls "$TRASH" 2>/dev/null | tr '\n' ' ')" = "REPLAY000.RPD REPLAY001.RPD " ]; }
wait_until 30 recycled || fail "the loaded copies were not recycled: $(ls -R "$DATA" "$TRASH" 2>&1)"
[ "$(archive)" = "$before" ] || fail "the archive changed: $(archive)"
! compgen -G "$DATA/*.RPD" >/dev/null || fail "replays left in the data folder: $(ls "$DATA")"
close_program second
