// Key assignment: key codes, the user's bindings, the command-name table, the
// built-in shortcuts and their merge with the user's bindings into the entries of
// the accelerator table the message loop translates keys with.
//
// Everything here is window-independent. The window layer turns the merged entries
// into a platform accelerator table and supplies the keyboard layout's key names
// (keyassign_win.cpp).
#pragma once

#include <cstdint>

#include "dialogs/keyname.h"
#include "tools/platform.h"

// KeyCode (dialogs/keyname.h): the virtual key in bits 0-7, then Shift, Ctrl, Alt
// and the extended-key bit (used only for the key's name).
constexpr KeyCode KEYCODE_VKEY_MASK = 0x00FF;
constexpr KeyCode KEYCODE_SHIFT = 0x0100;
constexpr KeyCode KEYCODE_CONTROL = 0x0200;
constexpr KeyCode KEYCODE_ALT = 0x0400;
constexpr KeyCode KEYCODE_EXTENDED = 0x0800;

// One user binding. A command id of 0 is an unknown command, which does nothing.
struct KeyAssignItem {
  KeyCode dwKeyCode;
  int32_t nCommandId;
};

// The application's key assignment record: the user's bindings, always sorted in
// item order (KeyAssignItem_Less); duplicates of a key code may stand side by
// side. The accelerator table made from them is a platform handle and belongs to
// the window layer's record (the main window's hAccel).
struct KeyAssignData {
  int32_t keyBindingCount;     // invariant: 0 <= keyBindingCount
  KeyAssignItem* keyBindings;  // owned heap array; invariant: null exactly when the count is 0
};

void KeyAssignData_Init(KeyAssignData* data);
bool IsValidKeyAssignData(const KeyAssignData* data);
// Takes ownership of items (sorted, count entries, null when count is 0) and frees
// the array held before. The accelerator table is the window layer's to rebuild.
void KeyAssignData_SetBindings(KeyAssignData* data, KeyAssignItem* items, int32_t count);

// Item order: the virtual key first, then the whole key code as a number. The
// command plays no part.
bool KeyAssignItem_Less(const KeyAssignItem& a, const KeyAssignItem& b);
// Sorts in item order, keeping equal items in their order; false (array unchanged)
// when memory runs out.
bool KeyAssignItem_Sort(KeyAssignItem* items, int32_t count);

// The command-name table: 65 rows in the byte order of their names, which is the
// order the key assignment dialog lists them in. No name is a prefix of another.
struct CommandName {
  int32_t id;
  const char* name;
};
constexpr int32_t kCommandNameCount = 65;
const CommandName* CommandName_GetTable();
constexpr const char* kUnknownCommandName = "UNKNOWN";

// Copies the table name of id into buffer (size bytes), or "UNKNOWN" and false.
bool CommandName_FromId(int32_t id, char* buffer, int32_t size);
// The id of the first row whose name begins text; otherwise text read as a
// hexadecimal number (0 when it is none).
int32_t CommandName_ToId(const char* text);

// An accelerator entry, laid out as the platform's: flags, virtual key, command.
struct KeyAccel {
  uint8_t fVirt;
  uint16_t key;
  uint16_t cmd;
};
constexpr uint8_t KEYACCEL_VIRTKEY = 0x01;
constexpr uint8_t KEYACCEL_NOINVERT = 0x02;
constexpr uint8_t KEYACCEL_SHIFT = 0x04;
constexpr uint8_t KEYACCEL_CONTROL = 0x08;
constexpr uint8_t KEYACCEL_ALT = 0x10;

// The 31 built-in shortcuts, on which user bindings are merged.
constexpr int32_t kBuiltinAccelCount = 31;
const KeyAccel* KeyAssign_GetBuiltinAccelerators();

// The entry a user binding stands for: virtual-key and no-invert always, Shift,
// Ctrl and Alt from the key code; the extended-key bit is dropped.
KeyAccel KeyAssign_ToAccel(const KeyAssignItem& item);
// Merges user bindings over a base table: both sorted by key, then flags; a user
// entry with the key and flags of a base entry replaces it, all else stays. On
// success *ppEntries is a heap array (Mem_Free) of *pnEntries entries. False, with
// null and 0, when the base is empty (then no accelerators at all are in force)
// or memory runs out.
bool KeyAssign_MergeAccelerators(const KeyAccel* base, int32_t nBase, const KeyAssignItem* items, int32_t count,
                                 KeyAccel** ppEntries, int32_t* pnEntries);
// The same over the built-in shortcuts.
bool KeyAssign_BuildAcceleratorEntries(const KeyAssignItem* items, int32_t count, KeyAccel** ppEntries,
                                       int32_t* pnEntries);

// Bytes that always hold a formatted key code.
constexpr int32_t kKeyCodeTextSize = 64;

// "Ctrl + ", "Shift + ", "Alt + " as set, then the key's name from pfnName (null:
// KeyName_Portable). Returns the length written into buffer (size bytes).
int32_t KeyCode_Format(KeyCode code, KeyNameFunc pfnName, char* buffer, int32_t size);
