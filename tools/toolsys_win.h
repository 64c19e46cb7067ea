// System helpers over the input method and the mouse.
#pragma once

#include <cstdint>

#include "tools/platform.h"

#include <imm.h>

// Places the input context's composition window at the point (client
// coordinates of its window), position style. False when the system refuses.
bool Ime_SetCompositionPos(HIMC hImc, POINT pt);
// The input context's result string, whole: asks for its size first. *ppText is a
// new heap block of *pN bytes (Mem_Free it), null when the result is empty. False,
// with nothing allocated, when the size is an error or memory runs out.
bool Ime_GetResultString(HIMC hImc, char** ppText, int32_t* pN);

// The mouse position in the window's client coordinates.
bool Window_GetCursorClientPos(HWND hWnd, POINT* pPt);

// ---- Files beside the program ----

// Libraries loaded by a bare name come from the system folder only, never from
// the program's own folder or the current one, where a downloaded file of a
// system library's name could lie (SetDefaultDllDirectories, looked up at run
// time: systems without it keep their search order). True when it is in force.
bool Module_LoadLibrariesFromSystemOnly();

// The program file's full path with its extension replaced by ext (such as
// ".ini"), lower-cased (single-byte letters only). False, buffer empty, when the
// path does not fit size bytes.
bool Module_GetSiblingPath(char* buffer, int32_t size, const char* ext);

// ---- Libraries of the system folder ----

// The whole path of a library of the system folder (name such as "dwmapi.dll"),
// so that a library of that name in the document's folder or the current
// folder is never the one loaded. False, output empty, when it does not fit.
bool System_GetLibraryPath(const char* name, char* output, int32_t size);
// That library loaded by its whole path (FreeLibrary it); null when it is not
// there or the path does not fit.
HMODULE System_LoadLibrary(const char* name);

// ---- File tests (a path that cannot be queried counts as absent) ----

bool File_Exists(const char* path);
bool File_IsDirectory(const char* path);
bool File_IsFile(const char* path);
// New files can be made in the folder: a file is made there and removed again.
bool Folder_IsWritable(const char* folder);

// The shell's delete with undo allowed (the recycle bin) on a list of paths, each
// terminated, the list ended by an empty one; nExtraFlags are added to
// FOF_ALLOWUNDO. False when the shell reports a failure or an abort.
bool File_MoveToRecycleBin(HWND hOwner, const char* pathList, UINT nExtraFlags);
// The same for one path: the list made from it. False when it does not fit a path.
bool File_MoveOneToRecycleBin(HWND hOwner, const char* path);

// The path in the shell's form (long names) through the desktop folder's parser;
// false, output empty, on any failure or when it does not fit size bytes.
bool Path_GetShellForm(char* output, int32_t size, const char* path);
// The full path (GetFullPathNameA); false, output empty, when it does not fit.
bool Path_GetFullForm(char* output, int32_t size, const char* path);
// The name a document is known by: the full path first (the shell's parser takes
// whole paths only, and some of it fails badly on a relative one or on forward
// slashes), then that path's shell form; the full path where the shell cannot
// say. False, output empty, when not even the full path can be had.
bool Path_GetDocumentForm(char* output, int32_t size, const char* path);

// ---- The input method ----

// Sets or reads the open state of the window's input context.
bool Ime_SetOpen(HWND hWnd, bool bOpen);
bool Ime_IsOpen(HWND hWnd);
