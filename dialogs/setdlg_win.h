// The settings dialog (resource 136): the document folder, the date format
// with its ticking preview, and the four switches of the save dialog, the
// recycle bin and the input method.
#pragma once

#include "tools/fileio.h"
#include "tools/platform.h"
#include "tools/toolbase.h"

// The preview's refresh period (timer 1).
constexpr UINT kSettingsPreviewTimer = 1;
constexpr UINT kSettingsPreviewMs = 300;

// The settings the dialog edits, as values.
struct SettingsDialogData {
  BYTE bConfirmOverwrite;              // the save dialog asks before replacing a file
  BYTE bCompleteExtension;             // the save dialog appends the default extension
  BYTE bKeepOverwrittenInRecycleBin;   // a file saved over goes to the recycle bin first
  BYTE bImeOnAtStart;
  char szDocumentFolder[kPathBufferSize];  // at most kPathMax bytes
  char szDateFormat[kDateFormatSize];
};

// Runs the dialog modally on the values. True on OK, data then holding the
// new values as typed; false on Cancel, data unchanged.
bool ShowSettingsDialog(HWND hOwner, SettingsDialogData* data);
