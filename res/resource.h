// Resource ids shared by the resource script and the code.
#pragma once

// The program icon. The lowest icon id is the one the shell shows for the file.
#define IDI_QWILPAD 1

// The built-in keyboard shortcuts.
#define IDA_MAINACCEL 139
// The menu bar of the main window.
#define IDM_MAINMENU 140
// The context menus: the editor's, the clipboard history's, the key list's, and
// the editor's with the history inside.
#define IDM_CONTEXTMENU 141
#define IDM_CONTEXT_EDITOR 0
#define IDM_CONTEXT_CLIPBOARD 1
#define IDM_CONTEXT_KEYASSIGN 2
#define IDM_CONTEXT_EDITOR2 3
// A File popup and a command popup the program keeps but does not show.
#define IDM_SPAREMENU 146

// The modeless dialog shown while a document prints; its one button is IDCANCEL.
#define IDD_PRINTCANCEL 152

// The go-to-line dialog and its controls.
#define IDD_GOTOLINE 134
#define IDC_GOTO_LABEL 1052
#define IDC_GOTO_LINE 1041
#define IDC_GOTO_SPIN 1053
// The find and replace dialogs and their controls (the find dialog has no
// replacement, replace or replace-all; the replace dialog no find-previous).
#define IDD_FIND 135
#define IDD_REPLACE 137
#define IDC_FIND_TEXT 1004
#define IDC_FIND_REPLACETEXT 1005
#define IDC_FIND_WHOLEWORD 1042
#define IDC_FIND_IGNORECASE 1060
#define IDC_FIND_IGNOREWIDTH 1059
#define IDC_FIND_REGEXP 1062
#define IDC_FIND_NEXT 1040
#define IDC_FIND_PREV 1039
#define IDC_FIND_REPLACE 1044
#define IDC_FIND_REPLACEALL 1084
// The settings dialogs and their controls.
#define IDD_SETTINGS 136
#define IDD_DISPSETTINGS 138
#define IDD_KEYASSIGN 147
#define IDC_COLOR_TEXT 1045
#define IDC_COLOR_BACK 1046
#define IDC_COLOR_SELBACK 1047
#define IDC_COLOR_SELTEXT 1048
#define IDC_COLOR_LINEEND 1049
#define IDC_COLOR_SPACE 1050
#define IDC_COLOR_EOF 1051
#define IDC_COMPLETEEXT 1054
#define IDC_MARGIN_SPIN 1055
#define IDC_RECYCLE 1055
#define IDC_DOCFOLDER 1056
#define IDC_BROWSE 1057
#define IDC_IMEON 1058
#define IDC_SHOWEOF 1063
#define IDC_TAB 1064
#define IDC_MARGIN 1065
#define IDC_TAB_SPIN 1066
#define IDC_KEY_COMMANDS 1069
#define IDC_KEY_BINDINGS 1070
#define IDC_KEY_HOTKEY 1071
#define IDC_KEY_ADD 1072
#define IDC_DATEFORMAT 1075
#define IDC_DEFAULTCOLORS 1076
#define IDC_DATEPREVIEW 1077
#define IDC_SHOWLINEEND 1078
#define IDC_SHOWSPACE 1079
#define IDC_SHOWZENSPACE 1080
#define IDC_SHOWTAB 1081
#define IDC_CONFIRMOVERWRITE 1082
#define IDC_KEY_HELP 1087

// Command ids: menu items, accelerators and the system menu send them to the
// main window as WM_COMMAND. The string table holds each command's help text
// under its id.
#define IDM_NEW 40001
#define IDM_OPEN 40002
#define IDM_SAVE 40003
#define IDM_SAVEAS 40004
#define IDM_EXIT 40005
#define IDM_SAVEEXIT 40006
#define IDM_UNDO 40011
#define IDM_REDO 40012
#define IDM_CUT 40013
#define IDM_COPY 40014
#define IDM_PASTE 40015
#define IDM_DELETE 40016
#define IDM_SELECTALL 40017
#define IDM_SELECTLINES 40018
#define IDM_SELECTWORD 40019
#define IDM_FIND 40031
#define IDM_FINDNEXT 40032
#define IDM_FINDPREV 40033
#define IDM_FINDSELNEXT 40034
#define IDM_FINDSELPREV 40035
#define IDM_REPLACE 40036
#define IDM_GOTOLINE 40041
#define IDM_STATUSBAR 40051
#define IDM_MINIMIZE 40052
#define IDM_MAXIMIZE 40053
#define IDM_RESTORE 40054
#define IDM_TOPMOST 40055
#define IDM_SHOWTAB 40061
#define IDM_SHOWSPACE 40062
#define IDM_SHOWZENSPACE 40063
#define IDM_SHOWLINEEND 40064
#define IDM_SHOWEOF 40065
#define IDM_ABOUT 40071
#define IDM_SETTINGS 40081
#define IDM_DISPLAYSETTINGS 40082
#define IDM_FONT 40083
#define IDM_KEYASSIGN 40085
#define IDM_SAVESETTINGS 40088
#define IDM_FRAME3D 40089
#define IDM_LOWER 40091
#define IDM_UPPER 40092
#define IDM_SWAPCASE 40093
#define IDM_TOFULL 40094
#define IDM_TOHALF 40095
#define IDM_TOFULLALPHA 40096
#define IDM_TOHALFALPHA 40097
#define IDM_TOFULLDIGIT 40098
#define IDM_TOHALFDIGIT 40099
#define IDM_TOFULLSYMBOL 40100
#define IDM_TOHALFSYMBOL 40101
#define IDM_TOFULLKANA 40102
#define IDM_TOHALFKANA 40103
#define IDM_NOTHING 40111
#define IDM_PASTEHISTORY 40114
#define IDM_IME 40115
#define IDM_INSERTDATE 40121
#define IDM_WRAP 40124
#define IDM_LINENUMBER 40130
#define IDM_REVERT 40131
#define IDM_PRINT 40132
#define IDM_READONLY 40133
#define IDM_PAGESETUP 40134
#define IDM_ATBACK 40135
#define IDM_INSERTFILE 40136
#define IDM_COPYNAME 40138
#define IDM_INSERTNAME 40139
#define IDM_INDENT 40140
#define IDM_UNINDENT 40141
#define IDM_DOCSTART 40142
#define IDM_DOCEND 40143
#define IDM_LINESTART 40144
#define IDM_LINEEND 40145
#define IDM_RELOAD 40146
#define IDM_HISTORYNONE 40147
#define IDM_OPENFOLDER 40148
#define IDM_FULLSCREEN 40151
#define IDM_REOPENSJIS 40152
