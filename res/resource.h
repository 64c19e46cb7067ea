// Resource ids shared by the resource script and the Win32 code.
#pragma once

// The program icon. The lowest icon id is the one the shell shows for the file.
#define IDI_QWILPAD 1

// The menu bar of the main window.
#define IDM_MAINMENU 140

// The modeless dialog shown while a document prints; its one button is IDCANCEL.
#define IDD_PRINTCANCEL 152

// Command ids of menu items; they arrive at the main window as WM_COMMAND.
#define IDM_EXIT 40005
