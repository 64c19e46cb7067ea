// What the title and the status bar say while long work runs (tools/busy_win):
// what is done to which document, and how far it has come.
#pragma once

#include <cstdint>

enum BusyWork : int32_t {
  BUSY_OPEN,
  BUSY_RELOAD,
  BUSY_SAVE,
  BUSY_FIND,
  BUSY_REPLACE_ALL,
};

// "NAME を開いています... 42%": name is the document's (a path gives its file
// name). Terminated, at most size - 1 bytes, cut between characters; the length.
int32_t BusyText_Title(char* buffer, int32_t size, BusyWork work, const char* name, int32_t nPercent);
// The status bar's first part: "42% 完了", with how to stop work that may stop.
int32_t BusyText_Status(char* buffer, int32_t size, int32_t nPercent, bool bStoppable);
