// The requests the find and replace dialogs send to the main window
// (WM_USER + 5 to + 8), and the rules for the texts they carry. The main window
// takes a request from anyone who can send it a message, so nothing in it is
// trusted: lengths are checked before any byte is read.
#pragma once

#include <cstdint>

#include "tools/platform.h"

// The request messages; wParam is the option word, lParam a SearchRequest.
constexpr uint32_t kSearchMsgFindNext = 0x0400 + 5;   // WM_USER + 5
constexpr uint32_t kSearchMsgFindPrev = 0x0400 + 6;   // WM_USER + 6
constexpr uint32_t kSearchMsgReplace = 0x0400 + 7;    // WM_USER + 7
constexpr uint32_t kSearchMsgReplaceAll = 0x0400 + 8; // WM_USER + 8

// The longest search string or replacement a request may carry, in bytes.
constexpr int32_t kSearchRequestTextMax = 1023;
// The most a dialog reads from one of its combo boxes.
constexpr int32_t kFindComboTextMax = 1022;

// Valid only while the message is being sent. The find requests leave the
// replacement null with length -1.
struct SearchRequest {
  HWND hDialog;             // the sending dialog, or null (the commands)
  uint32_t nOptions;        // the kFind bits
  const char* pszFind;      // nFindLength bytes, not necessarily terminated
  int32_t nFindLength;
  const char* pszReplace;   // nReplaceLength bytes, or null for the find requests
  int32_t nReplaceLength;
};

// A request whose search string can be read: present, its length 0 .. 1023
// and its text there when the length is not 0. With bReplace the replacement
// must pass the same test.
bool SearchRequest_IsReadable(const SearchRequest* request, bool bReplace);

// Copies length bytes (0 .. 1023) into the last-search buffer of size bytes,
// cut between characters to what fits with the terminator and at the first
// NUL byte (the buffer is a C string). Returns the bytes kept.
int32_t SearchText_Store(char* buffer, int32_t size, const char* text, int32_t length);

// The search string a dialog proposes from the selected text (n bytes): its
// first line only (cut at the first CR LF), at most 1023 bytes, never ending
// on half a character. Returns the bytes to take.
int32_t SearchText_ProposedLength(const char* selected, int32_t n);
