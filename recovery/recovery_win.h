// Crash recovery of an editor control on its window: the recovery writer
// (recovery/recovery.h) kept beside the control, fed by a watcher of the
// control's document and a timer of the window that hosts it, and the
// start-up question about texts that windows which ended without saving left
// behind. It reaches the control only through its interface (editctrl.h).
//
// The record is the host's, who keeps the pointer RecoveryWin_Attach gives
// until it hands it to RecoveryWin_Detach; every other function takes a null
// record (a window without recovery) and does nothing. While attached, the
// host window carries the property "PROP_RECOVERY", by which the windows of
// the process tell which of them keeps the files. The files are in
// %LOCALAPPDATA%\Qwilpad\recovery\, or, when that folder cannot be made or
// written, in a folder "recovery" beside the settings file; with neither the
// window runs without recovery files (logged). They are named after the
// process, so one window per process keeps them.
//
// The host calls:
//   RecoveryWin_Attach         once its editor control is made
//   RecoveryWin_OfferLeftovers once the start-up document is shown
//   RecoveryWin_OnTimer        on WM_TIMER of kRecoveryTimerId
//   RecoveryWin_NoteDocument   after a document was loaded or made new, and after a save
//   RecoveryWin_Discard        when the text is given up ("No" to the save question, a normal close)
//   RecoveryWin_Detach         when it is destroyed (the files stay: a window destroyed
//                              otherwise than by closing leaves its text to be offered)
#pragma once

#include <cstdint>

#include "recovery/recovery.h"
#include "tools/fileio.h"
#include "tools/platform.h"

// The host window's timer of the recovery writer.
constexpr UINT_PTR kRecoveryTimerId = 0x5157;

struct RecoveryWin {
  HWND hHost;                         // the window of the timer and the questions
  HWND hEditor;                       // the control whose document is kept
  RecoveryWriter* pWriter;            // owned
  UINT nInterval;                     // the timer's period now, milliseconds
  char szFolder[kPathBufferSize];     // ends with a separator
};

// The folder the recovery files go to, made when missing, ending with a
// separator: %LOCALAPPDATA%\Qwilpad\recovery\ (the environment's, else the
// shell's), or the folder "recovery" beside the settings file (settingsPath,
// empty for none). False, buffer empty, when neither can be made and written.
bool RecoveryWin_ChooseFolder(const char* settingsPath, char* buffer, int32_t size);

// The start token of this process: its creation time.
uint64_t RecoveryWin_ProcessToken();
// Whether the process of that id still runs and started at token. A process
// that cannot be looked at counts as running: its files are left alone.
bool RecoveryWin_IsAlive(void* pContext, uint32_t pid, uint64_t token);

// Makes the writer, watches the editor's document and starts the host's timer.
// Null, the window then without recovery, when there is no folder or memory,
// or when another window of the process keeps the files already.
RecoveryWin* RecoveryWin_Attach(HWND hHost, HWND hEditor, const char* settingsPath);
// Stops the timer and the watcher and frees the record; the files stay.
void RecoveryWin_Detach(RecoveryWin* rec);

// Looks through the recovery folder for files left by windows that are gone,
// newest first: each one is offered (or, when it cannot be restored, said so)
// in a message box of that caption until one is restored; those declined or
// damaged are removed, others' of running windows never touched. A restored
// text takes the document's place in the editor as a modified document with
// its caret, and the path it keeps goes to restoredPath (empty: untitled,
// named untitledName in the question); further files wait for the next start.
// True when a text was restored: the host then takes the path as the
// document's.
bool RecoveryWin_OfferLeftovers(RecoveryWin* rec, const char* caption, const char* untitledName, char* restoredPath,
                                int32_t size);

// One step of the writer, and the timer set for the next one.
void RecoveryWin_OnTimer(RecoveryWin* rec);
// The document is now the file at path as loaded or just saved (null or empty:
// a new untitled document): the recovery files go.
void RecoveryWin_NoteDocument(RecoveryWin* rec, const char* path);
// The files go; a document that stays modified gets a new one after the delay.
void RecoveryWin_Discard(RecoveryWin* rec);
