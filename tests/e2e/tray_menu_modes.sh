#!/usr/bin/env bash
# The tray menu drives the modes: the replay command copies a picked folder's
# replays onto the slots in name order, browse mode stops archiving, play mode
# sends the replays the load wrote to the recycle bin and leaves the game's own
# replays to the monitor and the archive tree alone, and the exit command ends
# the program and saves the folder picked last. A CopySrc without a wildcard
# loads one file.
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

# Left button, this time.
run_driver tray "${PID[main]}" 1 WM_LBUTTONDOWN || fail "cannot click the tray icon"
run_driver menu-char "${PID[main]}" r 20 || fail "menu item 'r': $DRIVER_OUT"
run_driver picker "${PID[main]}" 30 --answer ok || fail "no folder picker: $DRIVER_OUT"
browse_started=$(now_ms)

# The replays go onto the slots in name order.
slot_contents() { for slot in 0 1 2; do cat "$DATA/REPLAY00$slot.RPD" 2>/dev/null; echo; done | tr '\n' '|'; }
loaded() { [ "$(slot_contents)" = "stored replay A|stored replay B|stored replay C|" ]; }
wait_until 30 loaded || fail "slots 0 to 2 hold: $(slot_contents)"
[ ! -e "$DATA/REPLAY003.RPD" ] || fail "a fourth slot was written"

# Browse mode archives nothing, however many scans go by.
replay 7 "replay of slot 7" "2007-05-12 21:31:00"
two_scans_later() { (($(now_ms) - browse_started >= 11000)); }
wait_until 30 two_scans_later
same_content "$DATA/REPLAY007.RPD" "replay of slot 7" || fail "slot 7 was archived in browse mode"
[ ! -e "$DATA/2007" ] || fail "browse mode archived a replay"

# Back to play mode: the replays the load wrote go to the recycle bin; the
# game's replays stay, and the monitor archives them.
menu_command main a
run_driver answer-shell "${PID[main]}" 30 --expect 1 --answer yes || fail "no deletion question: $DRIVER_OUT"
TRASH=$ROOT/home/.local/share/Trash/files
recycled() { [ "$(ls "$TRASH" 2>/dev/null | tr '\n' ' ')" = "REPLAY000.RPD REPLAY001.RPD REPLAY002.RPD " ]; }
wait_until 30 recycled || fail "the loaded replays are not in the recycle bin: $(ls "$TRASH" 2>&1)"
archived() { same_content "$DATA/2007/05/12/2007-05-12T21-31-00.RPD" "replay of slot 7"; }
wait_until 30 archived || fail "the game's replay was not archived: $(ls -R "$DATA")"
! compgen -G "$DATA/*.RPD" >/dev/null || fail "replays left in the data folder: $(ls "$DATA")"
same_content "$DATA/2006/01/02/2006-01-02T03-04-05.RPD" "archived earlier" || fail "the archive tree was touched"
[ -z "$(ls "$STORED" | grep -v '^[ABC]\.RPD$')" ] && [ "$(ls "$STORED" | wc -l)" = 3 ] ||
    fail "the picked folder changed"

menu_command main x
expect_exit main 0
expect_icon main absent
[ "$(ini_value Replay LastOpenedFolder)" = "$WIN_STORED" ] ||
    fail "LastOpenedFolder saved as $(ini_value Replay LastOpenedFolder)"

# CopySrc naming one file loads that file alone.
set_ini_value Replay CopySrc B.RPD
settle_for_picker "$STORED"
start_program single
expect_icon single present
menu_command single r
run_driver picker "${PID[single]}" 30 --answer ok || fail "no folder picker: $DRIVER_OUT"
loaded_b() { same_content "$DATA/REPLAY000.RPD" "stored replay B"; }
wait_until 30 loaded_b || fail "CopySrc=B.RPD did not load B.RPD: $(ls "$DATA")"
[ "$(ls "$DATA" | grep -c 'RPD$')" = 1 ] || fail "more than one replay loaded: $(ls "$DATA")"
menu_command single x
expect_exit single 0
