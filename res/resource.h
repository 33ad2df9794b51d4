// Resource ids of zolm.rc: the one place where each is numbered.
#pragma once

#define IDD_HIDDEN 103
#define IDI_TRAY 103
#define IDR_TRAYMENU 104

#define IDS_ATOM_NAME 1
#define IDS_ALREADY_RUNNING 2
#define IDS_CAPTION 3
#define IDS_REPLAY_COPY_SRC 4
#define IDS_REPLAY_FILENAME_FORMAT 5
#define IDS_TIMER_FAILED 6
#define IDS_MONITOR_INTERVAL 7
#define IDS_MAX_INDEX 8
#define IDS_VOICE_FOLDER_UNUSED 9
#define IDS_MIN_INDEX 10
#define IDS_STORED_FORMAT_UNUSED 11
#define IDS_VOICE_FILENAME_FORMAT 12
#define IDS_VOICE_COPY_SRC 13
#define IDS_VOICE_FOLDER_NAME 14
#define IDS_VOICE_EXISTS_FORMAT 15
#define IDS_VOICE_CHARA_FORMAT 16
#define IDS_VOICE_BACKUP_FOLDER 17
#define IDS_FIRST_RUN_QUESTION 18
#define IDS_NO_INSTALL_PATH 19
#define IDS_STORED_FORMAT 20
#define IDS_PICKER_PROMPT 21
#define IDS_NO_INSTALL_PATH_FOR_VOICES 22
#define IDS_SETTINGS_NOT_SAVED 23
#define IDS_BACKUP_FAILED 24
#define IDS_ARCHIVE_FAILED 25
#define IDS_RECENT_COUNT 26
#define IDS_OPEN_ARCHIVE_FAILED 27
#define IDS_START_WITH_WINDOWS_FAILED 28
#define IDS_ARCHIVE_FAILED_MANY 29
#define IDS_TIP_ARCHIVE_FAILING 30
#define IDS_FOLDER_NAME_UNUSABLE 31
#define IDS_ORIGINALS_NOT_SAVED 32
#define IDS_NO_VOICE_BACKUP 33
#define IDS_VOICE_SET_LABEL 34
#define IDS_NO_INSTALL_PATH_FOR_RESTORE 35

// The tray menu's command ids, for the resource compiler and the program alike.
// A new command takes a number no other id here has.
#define IDM_PLAYMODE 40004
#define IDM_EXIT 40006
#define IDM_BROWSEMODE 40007
#define IDM_REPLAY 40008
#define IDM_VOICE 40009
#define IDM_OPEN_ARCHIVE 40010
#define IDM_START_WITH_WINDOWS 40011
#define IDM_RESTORE_VOICES 40012
// The entries of the recent replays' submenu, made when the menu opens: this id
// and the nine after it.
#define IDM_RECENT_FIRST 40100
