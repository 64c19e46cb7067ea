// The Win32 side of key assignment: the keyboard layout's key names and the
// platform accelerator table built from the merged entries.
#pragma once

#include "dialogs/keyassign.h"

// The platform's display name of a key: MapVirtualKeyA to the scan code (none:
// empty), then GetKeyNameTextA with the extended bit of the key code. Pass it to
// KeyCode_Format.
bool KeyName_Platform(KeyCode code, char* name, int32_t size);

// The built-in shortcuts merged with the bindings, as a platform accelerator table;
// null when it cannot be made (then no accelerators at all are in force).
HACCEL KeyAssign_BuildAccelerators(const KeyAssignItem* items, int32_t count);
// Puts table in force in *phAccel (the window layer's record, such as the main
// window's hAccel), destroying the table held there before.
void KeyAssign_ReplaceAccelerators(HACCEL* phAccel, HACCEL table);
// Start-up: no bindings, then the key file's when it can be read. Returns the
// accelerator table of the built-in shortcuts merged with them, whether or not a
// file was found (null when it cannot be made); the caller owns it.
HACCEL KeyAssign_Load(KeyAssignData* data, const char* keyFilePath);
// Exit: frees the bindings and destroys the table in *phAccel.
void KeyAssign_Free(KeyAssignData* data, HACCEL* phAccel);
