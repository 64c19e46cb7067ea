// Crash recovery on the main window: the recovery writer (recovery/recovery.h)
// kept beside the editor, fed by the editor's observer and a timer of the
// main window, and the start-up question about texts that windows which
// ended without saving left behind.
//
// The record lives in the main window's property "PROP_RECOVERY" from
// RecoveryWin_Attach to RecoveryWin_Detach. The files are in
// %LOCALAPPDATA%\Qwilpad\recovery\, or, when that folder cannot be made or
// written, in a folder "recovery" beside the settings file; with neither the
// window runs without recovery files (logged). They are named after the
// process, so one main window per process keeps them.
//
// The main window calls:
//   RecoveryWin_Attach         in WM_CREATE, once the editor is made
//   RecoveryWin_OfferLeftovers once the start-up document is shown
//   RecoveryWin_OnTimer        on WM_TIMER of kRecoveryTimerId
//   RecoveryWin_NoteDocument   after a document was loaded or made new, and after a save
//   RecoveryWin_Discard        when the text is given up ("No" to the save question, a normal close)
//   RecoveryWin_Detach         in WM_DESTROY (the files stay: a window destroyed otherwise
//                              than by closing leaves its text to be offered)
#pragma once

#include <cstdint>

#include "app/appdata.h"
#include "recovery/recovery.h"
#include "tools/platform.h"

extern const char kPropRecovery[];  // "PROP_RECOVERY"

// The main window's timer of the recovery writer.
constexpr UINT_PTR kRecoveryTimerId = 0x5157;

struct RecoveryWin {
  RecoveryWriter* pWriter;            // owned
  UINT nInterval;                     // the timer's period now, milliseconds
  char szFolder[kPathBufferSize];     // ends with a separator
};

// The folder the recovery files go to, made when missing, ending with a
// separator: %LOCALAPPDATA%\Qwilpad\recovery\ (the environment's, else the
// shell's), or the folder "recovery" beside app's settings file. False, buffer
// empty, when neither can be made and written.
bool RecoveryWin_ChooseFolder(const AppInfo* app, char* buffer, int32_t size);

// The start token of this process: its creation time.
uint64_t RecoveryWin_ProcessToken();
// Whether the process of that id still runs and started at token. A process
// that cannot be looked at counts as running: its files are left alone.
bool RecoveryWin_IsAlive(void* pContext, uint32_t pid, uint64_t token);

// Makes the writer, sets it as the editor's observer and starts the timer.
// False, the window then without recovery, when there is no folder or memory,
// or when another main window of the process keeps the files already.
bool RecoveryWin_Attach(AppInfo* app);
// Stops the timer and the observer and frees the writer; the files stay.
void RecoveryWin_Detach(AppInfo* app);
// The record of a main window, or null.
RecoveryWin* RecoveryWin_Get(HWND hWnd);

// Looks through the recovery folder for files left by windows that are gone,
// newest first: each one is offered (or, when it cannot be restored, said so)
// until one is restored; those declined or damaged are removed, others' of
// running windows never touched. A restored text takes the document's place as
// a modified document with its original path and caret; further files wait for
// the next start. True when a text was restored.
bool RecoveryWin_OfferLeftovers(AppInfo* app);

// One step of the writer, and the timer set for the next one.
void RecoveryWin_OnTimer(AppInfo* app);
// The document is now the file at path as loaded or just saved (null or empty:
// a new untitled document): the recovery files go.
void RecoveryWin_NoteDocument(AppInfo* app, const char* path);
// The files go; a document that stays modified gets a new one after the delay.
void RecoveryWin_Discard(AppInfo* app);
