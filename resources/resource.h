/* Command and dialog control ids, shared by the resource script and the game's code. */
#ifndef ZUM32_RESOURCE_H
#define ZUM32_RESOURCE_H

/* Menu commands (WM_COMMAND). */
#define CMD_START 101
#define CMD_RECORDS 102
#define CMD_TITLE 103
#define CMD_PROPERTY 104
#define CMD_EXIT 105
#define CMD_HELP 106
#define CMD_ABOUT 109
#define CMD_ENTRY 110

/* Controls without an id of their own. */
#define IDC_STATIC (-1)

/* DLG_ENTRY: name entry for a new best-five time. */
#define IDC_ENTRY_LEVEL 111
#define IDC_ENTRY_NAME 162
#define IDC_ENTRY_OK 163

/* DLG_SCORE: the best five of the current level. */
#define IDC_SCORE_TIME1 112
#define IDC_SCORE_TIME2 113
#define IDC_SCORE_TIME3 114
#define IDC_SCORE_TIME4 115
#define IDC_SCORE_TIME5 116
#define IDC_SCORE_NAME1 117
#define IDC_SCORE_NAME2 118
#define IDC_SCORE_NAME3 119
#define IDC_SCORE_NAME4 120
#define IDC_SCORE_NAME5 121
#define IDC_SCORE_OK 122

/* DLG_PROPATY: level choice and the best entry of each level. */
#define IDC_PROP_OK 131
#define IDC_PROP_CANCEL 132
#define IDC_PROP_LEVEL1 133
#define IDC_PROP_LEVEL2 134
#define IDC_PROP_LEVEL3 135
#define IDC_PROP_TIME1 136
#define IDC_PROP_TIME2 137
#define IDC_PROP_TIME3 138
#define IDC_PROP_NAME1 139
#define IDC_PROP_NAME2 140
#define IDC_PROP_NAME3 141
#define IDC_PROP_CLEAR1 142
#define IDC_PROP_CLEAR2 143
#define IDC_PROP_CLEAR3 144
#define IDC_PROP_GROUP 145

/* DLG_ABOUT. */
#define IDC_ABOUT_OK 151

/* The string table: the game's words that its code shows or says. */
#define IDS_APP_NAME 1
#define IDS_LEVEL_NAME 16 /* + level 1..3: the level's name */
#define IDS_NO_DATA 32 /* a level's records missing from the file; %s the level */
#define IDS_UNSAVED 33 /* records not saved; %s the file */
#define IDS_SCORE_CAPTION 34 /* %s the level */
#define IDS_RECORD_ROW 35 /* %d rank, %s seconds, %s name */
#define IDS_NO_NAME 36
#define IDS_CLEAR_RECORDS 37 /* %s the level */
#define IDS_ENTER_NAME 38
/* What a screen reader hears. */
#define IDS_SPOKEN_CELL 48 /* %d row, %d column, %s state, %s row clues, %s column clues */
#define IDS_SPOKEN_CLOSED 49
#define IDS_SPOKEN_OPEN 50
#define IDS_SPOKEN_FLAG 51
#define IDS_SPOKEN_BOMB 52
#define IDS_SPOKEN_NO_CLUES 53
#define IDS_SPOKEN_TITLE 54 /* %s the level */
#define IDS_SPOKEN_PLAYING 55 /* %s the level */
#define IDS_SPOKEN_CLEARED 56 /* %d seconds */
#define IDS_SPOKEN_GAME_OVER 57
#define IDS_SPOKEN_STATUS 58 /* %d cells left, %d opened, %d bombs hit, %d seconds */
#define IDS_SPOKEN_OPENED_ONE 59
#define IDS_SPOKEN_OPENED 60 /* %d cells */
#define IDS_SPOKEN_EXPLOSION 61 /* %d which explosion */
#define IDS_SPOKEN_FLAG_SET 62
#define IDS_SPOKEN_FLAG_REMOVED 63

/* What a screen reader is told, asked of a window by the platform's accessibility. wParam: the
   child in its low word (0 the window itself; in the main window the board's cells row by row
   from 1, then the announcements; in a dialog a control's id), the buffer's size in bytes in its
   high word; lParam: the buffer. The answer is the length of the CP932 text written, or 0 for
   the name that the platform would give the child itself. */
#define WM_ACC_CHILDTEXT 0x8101
/* Asked of the main window: the board's side in cells while a game's board is shown, else 0. */
#define WM_ACC_BOARDSIDE 0x8102

/* The name of the message, registered with RegisterWindowMessageA, that tells the main window a
   whole records file has been put in place of the one it loaded. */
#define RECORDS_REPLACED_MESSAGE "ZUM32_RECORDS_REPLACED"

#endif
