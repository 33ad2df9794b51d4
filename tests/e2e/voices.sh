#!/usr/bin/env bash
# Chain voices: the first start offers the backup and Yes copies every
# character's voice files into a folder of its own; the voice command copies a
# picked folder's files numbered 00 to 20 over one character's files, the shell
# asking before each replacement, and leaves every other file as it was.
source "$(dirname "$0")/lib.sh"
e2e_setup
VOICE=$GAME/VOICE
MINE=$ROOT/myvoices
WIN_MINE="$WIN_ROOT\\myvoices"
mkdir -p "$VOICE" "$MINE"
for cc in $(seq -w 0 15); do
    for nn in $(seq -w 0 20); do printf 'game voice %s %s' "$cc" "$nn" >"$VOICE/CH${cc}VO${nn}.WAV"; done
done
# Backed up too, though no voice number names it.
printf 'game voice 08 extra' >"$VOICE/CH08VO99.WAV"
# Long names, whose short names end in other numbers (my_voice_take260_13.WAV
# is MY_V~P10.WAV, and *10.WAV finds it too); 21 is not a voice number.
for nn in $(seq -w 0 21); do printf 'my voice %s' "$nn" >"$MINE/my_voice_take260_$nn.WAV"; done

start_program first
answer_first_run first yes
CODES=(AMI OSB KLG DNG RID ONI PRI RAF YU TAR HOH ACO FRA ARL POP CAR)
for cc in $(seq 0 15); do
    backup=$VOICE/_ORIGINAL/${CODES[$cc]}
    expected=21
    [ "$cc" != 8 ] || expected=22
    [ "$(find "$backup" -type f | wc -l)" = "$expected" ] || fail "backup folder ${CODES[$cc]} holds $(ls "$backup" 2>&1)"
    name=$(printf 'CH%02dVO13.WAV' "$cc")
    same_content "$backup/$name" "$(cat "$VOICE/$name")" || fail "backup of $name differs"
done
same_content "$VOICE/_ORIGINAL/YU/CH08VO99.WAV" "game voice 08 extra" || fail "CH08VO99.WAV was not backed up"
close_program first

# The next start asks nothing; the voice folder to pick comes from the INI file.
set_ini_value RensaVoice LastOpenedFolder "$WIN_MINE"
settle_for_picker "$MINE"
start_program second
expect_icon second present
run_driver no-box ZOLM 0 --pid "${PID[second]}" || fail "the second start asked: $DRIVER_OUT"

before=$(cd "$VOICE" && md5sum CH*.WAV)
menu_command second v
run_driver picker "${PID[second]}" 30 --answer ok || fail "no folder picker: $DRIVER_OUT"
# The character popup lists アミティ first; the third item is クルーク, character 02.
run_driver menu-keys "${PID[second]}" down,down,down,return 20 || fail "no character popup: $DRIVER_OUT"
run_driver answer-shell "${PID[second]}" 30 --expect 21 --answer yes || fail "expected 21 overwrite questions: $DRIVER_OUT"
installed() { same_content "$VOICE/CH02VO20.WAV" "my voice 20"; }
wait_until 30 installed || fail "the voices were not installed"
for nn in $(seq -w 0 20); do
    same_content "$VOICE/CH02VO$nn.WAV" "my voice $nn" || fail "CH02VO$nn.WAV was not installed"
done
[ ! -e "$VOICE/CH02VO21.WAV" ] || fail "a file numbered 21 was installed"
after=$(cd "$VOICE" && md5sum CH*.WAV)
changed=$( (diff <(echo "$before") <(echo "$after") || true) | sed -n 's/^> [0-9a-f]*  //p' | sort | tr '\n' ' ')
[ "$changed" = "$(for nn in $(seq -w 0 20); do printf 'CH02VO%s.WAV ' "$nn"; done)" ] ||
    fail "changed voice files: $changed"
[ "$(ls "$MINE" | wc -l)" = 22 ] || fail "the picked folder changed"

menu_command second x
expect_exit second 0
expect_icon second absent
[ "$(ini_value RensaVoice LastOpenedFolder)" = "$WIN_MINE" ] ||
    fail "RensaVoice LastOpenedFolder saved as $(ini_value RensaVoice LastOpenedFolder)"
