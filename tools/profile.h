// Profile (INI) values: the value syntax of the settings file over a small seam,
// so that what is read and written, in which order and with which encoding, is
// decided without the platform. The program's record goes through the Win32
// profile functions (tools/profile_win.h); tests use one that keeps the values in
// memory and records every call.
#pragma once

#include <cstdint>

#include "tools/platform.h"

// Every function gets pContext first.
struct ProfileMethods {
  void* pContext;
  // The value of key in section, or def when the key is missing, cut to size - 1
  // bytes (never on a lone lead byte) and terminated; returns its length.
  int32_t (*pfnRead)(void* pContext, const char* section, const char* key, const char* def, char* buffer,
                     int32_t size);
  // Stores value as the key's text exactly (null removes the key); false when
  // the file could not be written.
  bool (*pfnWrite)(void* pContext, const char* section, const char* key, const char* value);
  // Optional (both null when the store has no sections of its own): the
  // section's lines "key=value" as the file holds them, each ended by a NUL, the
  // list ended by one more, into buffer; returns the bytes before the last NUL,
  // size - 2 when the buffer was too small, or -1 when the section is not to be
  // written whole (pfnWriteSection would lose lines of it).
  int32_t (*pfnReadSection)(void* pContext, const char* section, char* buffer, int32_t size);
  // Replaces every line of the section with the lines of such a list at once;
  // false when the file could not be written.
  bool (*pfnWriteSection)(void* pContext, const char* section, const char* lines);
};

bool IsValidProfileMethods(const ProfileMethods* methods);

// Bytes a number or a flag is read into (the text of longer values is cut).
constexpr int32_t kProfileNumberSize = 1023;

// A value that starts with a decimal integer (white space and a sign allowed
// before it, anything after it ignored) gives that integer, clamped to 32 bits;
// anything else, the key missing included, gives def.
int32_t Profile_ReadInt(const ProfileMethods* methods, const char* section, const char* key, int32_t def);
// The same integer != 0.
bool Profile_ReadBool(const ProfileMethods* methods, const char* section, const char* key, bool def);
// A colour written as RRGGBB: exactly six hexadecimal digits, else def. The
// result is the platform's 0x00BBGGRR.
COLORREF Profile_ReadColour(const ProfileMethods* methods, const char* section, const char* key, COLORREF def);
// The text (def when missing) cut to size bytes; returns its length.
int32_t Profile_ReadString(const ProfileMethods* methods, const char* section, const char* key, const char* def,
                           char* buffer, int32_t size);

// Each write returns false when the file could not be written.
// "0" or "1".
bool Profile_WriteBool(const ProfileMethods* methods, const char* section, const char* key, bool value);
// "%d".
bool Profile_WriteInt(const ProfileMethods* methods, const char* section, const char* key, int32_t value);
// "%06X" of the colour with red in the high byte.
bool Profile_WriteColour(const ProfileMethods* methods, const char* section, const char* key, COLORREF value);
// The text in double quotes, so that blanks at its ends, and quotes of its own
// at both ends, survive the platform's reader (which drops one enclosing pair
// and the blanks around the value). False, nothing written, when the quoted
// text would not fit kProfileValueSize bytes.
bool Profile_WriteString(const ProfileMethods* methods, const char* section, const char* key, const char* text);
bool Profile_DeleteKey(const ProfileMethods* methods, const char* section, const char* key);

// The longest value written, quotes and terminator included.
constexpr int32_t kProfileValueSize = 2048;
