// DynDlg: a dialog template built in memory from a compact description, so that a
// dialog runs without a template in the program's resources. The block is the
// platform's standard (not extended) template, a sequence of 16-bit words that a
// modal dialog can be run from directly.
#pragma once

#include <cstdint>

// An ordinal or a wide string in one field: a value up to 0xFFFF is an ordinal,
// anything larger the address of a NUL-terminated UTF-16 string (u"..."). The
// field is as wide as a pointer, the same trick the platform's resource names use.
typedef const char16_t* DynDlgName;

inline DynDlgName DynDlg_Ordinal(uint16_t n) { return reinterpret_cast<DynDlgName>(static_cast<uintptr_t>(n)); }

// Control classes of the platform as ordinals.
constexpr uint16_t kDynDlgButton = 0x0080;
constexpr uint16_t kDynDlgEdit = 0x0081;
constexpr uint16_t kDynDlgStatic = 0x0082;

// The style bits the builder relies on: the set-font style of a dialog and the
// child-window style every item gets.
constexpr uint32_t kDynDlgSetFont = 0x00000040;
constexpr uint32_t kDynDlgChild = 0x40000000;

struct DynDlgTemplate {
  uint32_t style;             // has kDynDlgSetFont exactly when font is given
  uint32_t dwExtendedStyle;
  int16_t cdit;               // number of items, 0 or more
  int16_t x;
  int16_t y;
  int16_t cx;                 // size in dialog units, 0 or more
  int16_t cy;
  DynDlgName pszClass;        // 0 for the platform's dialog class
  const char16_t* pszTitle;   // null for an empty caption
  DynDlgName pszMenu;         // 0 for none
  const char16_t* font;       // typeface, or null for none
  int16_t height;             // point size of the typeface, 0 or more
};

struct DynDlgItem {
  DynDlgName pszClass;        // usually an ordinal (kDynDlgButton ...)
  DynDlgName pszTitle;        // ordinal, string, or null for an empty text
  uint32_t style;             // the child-window bit is always added
  uint32_t dwExtendedStyle;
  int16_t x;
  int16_t y;
  int16_t cx;                 // 0 or more
  int16_t cy;
  uint16_t id;
};

// The description's invariants: counts and sizes not negative, font given exactly
// with the set-font style, items present when cdit says so.
bool IsValidDynDlgTemplate(const DynDlgTemplate* tmpl, const DynDlgItem* items);

// Bytes of the template that DynDlg_Create builds for the description.
int32_t DynDlg_Measure(const DynDlgTemplate* tmpl, const DynDlgItem* items);
// The template in a new heap block (4-byte aligned), or null when memory runs out.
void* DynDlg_Create(const DynDlgTemplate* tmpl, const DynDlgItem* items);
void DynDlg_Free(void* block);
