#!/usr/bin/env bash
# The tray menu drives the modes: browse mode stops archiving, the replay
# command copies a picked folder's replays onto the slots (the shell asking
# before it replaces one), play mode sends the data folder's replays to the
# recycle bin and leaves the archive tree alone, and the exit command ends the
# program and saves the folder picked last.
source "$(dirname "$0")/lib.sh"
e2e_setup
STORED=$ROOT/stored
WIN_STORED="$WIN_ROOT\\stored"
mkdir -p "$STORED"
for name in A B C; do printf 'stored replay %s' "$name" >"$STORED/$name.RPD"; done
write_ini <<INI
[Replay]
MonitorInterval=5000
LastOpenedFolder=$WIN_STORED
INI
mkdir -p "$DATA/2006/01/02"
printf 'archived earlier' >"$DATA/2006/01/02/2006-01-02T03-04-05.RPD"

settle_for_picker "$STORED"

start_program main
expect_icon main present

# Only a button press on icon 1 opens the menu.
run_driver tray "${PID[main]}" 2 WM_RBUTTONDOWN
run_driver tray "${PID[main]}" 1 WM_LBUTTONUP
run_driver tray "${PID[main]}" 1 WM_MOUSEMOVE
run_driver no-menu "${PID[main]}" 1 || fail "a click that is not a button press opened the menu"

menu_command main b
browse_started=$(now_ms)
replay 1 "replay of slot 1" "2007-05-12 21:30:05"
replay 7 "replay of slot 7" "2007-05-12 21:31:00"

# Left button, this time.
run_driver tray "${PID[main]}" 1 WM_LBUTTONDOWN || fail "cannot click the tray icon"
run_driver menu-char "${PID[main]}" r 20 || fail "menu item 'r': $DRIVER_OUT"
run_driver picker "${PID[main]}" 30 --answer ok || fail "no folder picker: $DRIVER_OUT"
# Slot 1 holds a replay already: the shell asks before replacing it.
run_driver answer-shell "${PID[main]}" 30 --expect 1 --answer yes || fail "no overwrite question: $DRIVER_OUT"

# Files are taken in the order the file system lists them: each of the three
# on a slot of its own, in some order.
slot_contents() { for slot in 0 1 2; do cat "$DATA/REPLAY00$slot.RPD" 2>/dev/null; echo; done | sort | tr '\n' '|'; }
loaded() { [ "$(slot_contents)" = "stored replay A|stored replay B|stored replay C|" ]; }
wait_until 30 loaded || fail "slots 0 to 2 hold: $(slot_contents)"
[ ! -e "$DATA/REPLAY003.RPD" ] || fail "a fourth slot was written"

# Browse mode archives nothing, however many scans go by.
two_scans_later() { (($(now_ms) - browse_started >= 11000)); }
wait_until 30 two_scans_later
same_content "$DATA/REPLAY007.RPD" "replay of slot 7" || fail "slot 7 was archived in browse mode"
[ ! -e "$DATA/2007" ] || fail "browse mode archived a replay"

# Back to play mode: the data folder's replays go to the recycle bin.
menu_command main a
run_driver answer-shell "${PID[main]}" 30 --expect 1 --answer yes || fail "no deletion question: $DRIVER_OUT"
no_replays_left() { ! compgen -G "$DATA/*.RPD" >/dev/null; }
wait_until 30 no_replays_left || fail "replays left in the data folder: $(ls "$DATA")"
TRASH=$ROOT/home/.local/share/Trash/files
for slot in 000 001 002 007; do
    [ -f "$TRASH/REPLAY$slot.RPD" ] || fail "REPLAY$slot.RPD is not in the recycle bin: $(ls "$TRASH" 2>&1)"
done
same_content "$DATA/2006/01/02/2006-01-02T03-04-05.RPD" "archived earlier" || fail "the archive tree was touched"
[ -z "$(ls "$STORED" | grep -v '^[ABC]\.RPD$')" ] && [ "$(ls "$STORED" | wc -l)" = 3 ] ||
    fail "the picked folder changed"

menu_command main x
expect_exit main 0
expect_icon main absent
[ "$(ini_value Replay LastOpenedFolder)" = "$WIN_STORED" ] ||
    fail "LastOpenedFolder saved as $(ini_value Replay LastOpenedFolder)"
