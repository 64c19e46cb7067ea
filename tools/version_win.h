// The program's version resource and the free system resources the old
// consumer systems report: what the About box shows.
#pragma once

#include <cstdint>

#include "tools/platform.h"

// The module's version resource, read from its loaded image without the system's
// version library, in a new heap block (Mem_Free it), and its
// first translation (language in the low 16 bits, code page in the high) in
// *pTranslation. Null when the file has none or it has no translation.
void* Version_Load(HINSTANCE hInstance, DWORD* pTranslation);
// The value of key ("ProductName" ...) in the block's string table of that
// translation, copied into output (size bytes, cut between characters). An
// absent value gives an empty output and false.
bool Version_GetString(int32_t size, const void* block, DWORD translation, const char* key, char* output);

// Where the free-resources library is looked for: the system folder only, a
// whole path, so that a library of that name in the document's folder or the
// current folder is never loaded. False, output empty, when it does not fit.
bool System_GetResourcesLibraryPath(char* output, int32_t size);
// The free system, GDI and USER resources in percent (each output optional)
// from that library. False, outputs untouched, when the library or its entry
// point is missing: every current system.
bool System_GetFreeResources(int32_t* pSystem, int32_t* pGdi, int32_t* pUser);
