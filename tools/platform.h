// The platform seam of the core: on Windows the real <windows.h>; elsewhere the few
// records the core shares with Win32, declared with the same layout, so that the
// editor's text metrics and the view style's font are the platform's own records.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#else

// Win32's LONG is 32 bits on every Windows ABI; Linux's long is not.
typedef int32_t LONG;
typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef char CHAR;
typedef DWORD COLORREF;
typedef void* HANDLE;
// Window-system handles appear in the core's records only as opaque values that
// the window layer fills in; the core never looks through them.
struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
struct HACCEL__;
typedef HACCEL__* HACCEL;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define RGB(r, g, b) \
  ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

#define LF_FACESIZE 32

struct POINT {
  LONG x;
  LONG y;
};

struct SIZE {
  LONG cx;
  LONG cy;
};

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};

struct LOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
};

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

#endif  // _WIN32

// The layouts Win32 dictates; the core relies on them being the platform's records.
static_assert(sizeof(POINT) == 8, "POINT is two 32-bit values");
static_assert(sizeof(RECT) == 16, "RECT is four 32-bit values");
static_assert(sizeof(TEXTMETRICA) == 56, "TEXTMETRICA layout");
static_assert(offsetof(TEXTMETRICA, tmFirstChar) == 44, "TEXTMETRICA layout");
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA layout");
static_assert(sizeof(SYSTEMTIME) == 16, "SYSTEMTIME layout");

// Debug-build invariant checks. Validity predicates are side-effect free and are
// only ever evaluated inside QWIL_ASSERT, so release builds pay nothing for them.
#ifdef NDEBUG
#define QWIL_ASSERT(expr) ((void)0)
#else
#include <cassert>
#define QWIL_ASSERT(expr) assert(expr)
#endif
