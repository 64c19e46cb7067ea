// The command table: one row per fixed command id with its menu text, the key
// text the menu bar shows beside it, its help text (the string table holds the
// same under the id) and the rules by which its menu item is enabled and
// checked. The window layer's dispatch (app/command_win.h) pairs the ids with
// their handlers; the menu code loops over the rows here.
//
// Pure: which items are grayed or checked is decided from a CommandState the
// window layer gathers, without a window.
#pragma once

#include <cstdint>

// Rules that gray an item; an item is enabled when none of its rules grays it.
enum CommandRule : uint32_t {
  CMDRULE_UNDO = 1u << 0,           // only when undo is possible
  CMDRULE_REDO = 1u << 1,           // only when redo is possible
  CMDRULE_CLIPBOARD = 1u << 2,      // only when the clipboard holds text
  CMDRULE_LAST_SEARCH = 1u << 3,    // only after a search
  CMDRULE_SELECTION = 1u << 4,      // only with a selection
  CMDRULE_WRITABLE = 1u << 5,       // not while the editor is read-only
  CMDRULE_NOT_MAXIMIZED = 1u << 6,
  CMDRULE_NOT_MINIMIZED = 1u << 7,
  CMDRULE_MIN_OR_MAX = 1u << 8,     // only while minimized or maximized
  CMDRULE_NEVER = 1u << 9,          // always grayed (the history placeholder)
  CMDRULE_LOADS = 1u << 10,         // not while the user made the editor read-only: a document
                                    // read-only only for its file's encoding may be replaced
  CMDRULE_CONVERTIBLE = 1u << 11,   // only for a document read from a file not in Shift_JIS
};

// What a check mark follows.
enum CommandCheck : int32_t {
  CMDCHECK_NONE = 0,
  CMDCHECK_FRAME3D,
  CMDCHECK_LINE_NUMBER,
  CMDCHECK_WRAP,
  CMDCHECK_TAB,
  CMDCHECK_SPACE,
  CMDCHECK_ZEN_SPACE,
  CMDCHECK_LINE_END,
  CMDCHECK_EOF,
  CMDCHECK_TOPMOST,
  CMDCHECK_AT_BACK,
  CMDCHECK_FULL_SCREEN,
  CMDCHECK_STATUS_BAR,
  CMDCHECK_READ_ONLY,
  CMDCHECK_COUNT,
};

// A conversion's row leaves its menu and help texts to the conversion table
// (app/convert.h); read them through Command_MenuText and Command_HelpText.
struct CommandInfo {
  int32_t id;
  const char* menuText;  // as the menus show it, without a key text
  const char* keyText;   // shown after a tab in the menu bar's popups, or null
  const char* helpText;  // the status bar's text while the item is highlighted, or null
  uint32_t nRules;       // CommandRule bits
  CommandCheck check;
};

// The fixed commands in id order, the conversions among them.
const CommandInfo* Command_GetTable(int32_t* pnCount);
// The row of a fixed id, or null.
const CommandInfo* Command_Find(int32_t id);
// The row's menu text (never null) and help text (null when it has none).
const char* Command_MenuText(const CommandInfo* info);
const char* Command_HelpText(const CommandInfo* info);

// What the menu code gathers when a popup opens.
struct CommandState {
  bool bCanUndo;
  bool bCanRedo;
  bool bClipboardText;
  bool bLastSearch;
  bool bSelection;
  bool bReadOnly;
  bool bReadOnlyForEncoding;  // the read-only is the encoding guard's (app/encguard.h), not the user's
  bool bConvertible;          // the document's file is not in Shift_JIS
  bool bMaximized;
  bool bMinimized;
  bool bChecked[CMDCHECK_COUNT];  // indexed by CommandCheck; [CMDCHECK_NONE] unused
};

struct CommandMenuState {
  bool bEnabled;
  bool bChecked;
};

// An item of any id: a fixed command by its row, a history entry grayed while
// read-only (a load history entry only while the user's), any other id enabled
// and unchecked.
CommandMenuState Command_MenuState(int32_t id, const CommandState* state);

// Where an id of WM_COMMAND goes when no fixed row has it.
enum CommandKind : int32_t {
  CMDKIND_FIXED,              // a row of the table
  CMDKIND_CLIPBOARD_HISTORY,  // 32769 + entry
  CMDKIND_LOAD_HISTORY,       // 36865 + entry
  CMDKIND_OTHER,
};
CommandKind Command_Classify(int32_t id);

// The File popup is rebuilt from these rows around the load history.
enum FileMenuRowKind : int32_t {
  FILEMENU_ITEM,
  FILEMENU_SEPARATOR,
  FILEMENU_HISTORY,  // a separator and the history's entries, or nothing when it is empty
};
struct FileMenuRow {
  FileMenuRowKind kind;
  int32_t id;
  const char* text;  // with its key text
};
constexpr int32_t kFileMenuRowCount = 12;
// The File popup's place in the menu bar.
constexpr int32_t kFilePopupIndex = 0;
const FileMenuRow* Command_GetFileMenuRows();
