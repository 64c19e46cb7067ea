// Key names: the seam through which key combinations get the names the keyboard
// layout gives their keys. The Win32 layer asks the platform (keyassign_win.cpp);
// elsewhere, and in tests, every virtual key has a stable English name.
#pragma once

#include <cstdint>

// A key combination in the form a hot-key control reports it.
typedef uint32_t KeyCode;

// The display name of a key (the virtual key of a key code, with its extended
// bit) into name (size bytes); false and an empty name when the key has none.
typedef bool (*KeyNameFunc)(KeyCode code, char* name, int32_t size);

// Key names are at most 33 characters (a 34-byte buffer).
constexpr int32_t kKeyNameSize = 34;

// Names that need no keyboard layout, empty for the codes no key produces.
bool KeyName_Portable(KeyCode code, char* name, int32_t size);
