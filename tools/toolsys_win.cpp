#include "tools/toolsys_win.h"

#include "tools/memory.h"

bool Ime_SetCompositionPos(HIMC hImc, POINT pt) {
  COMPOSITIONFORM form = {};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = pt;
  return ImmSetCompositionWindow(hImc, &form) != FALSE;
}

bool Ime_GetResultString(HIMC hImc, char** ppText, int32_t* pN) {
  *ppText = nullptr;
  *pN = 0;
  LONG size = ImmGetCompositionStringA(hImc, GCS_RESULTSTR, nullptr, 0);
  if (size < 0) return false;
  if (size == 0) return true;
  char* text = static_cast<char*>(Mem_Alloc(static_cast<size_t>(size)));
  if (!text) return false;
  LONG got = ImmGetCompositionStringA(hImc, GCS_RESULTSTR, text, static_cast<DWORD>(size));
  // The string cannot grow between the two calls, but a shorter answer or an
  // error is taken as it is.
  if (got < 0) {
    Mem_Free(text);
    return false;
  }
  if (got == 0) {
    Mem_Free(text);
    return true;
  }
  *ppText = text;
  *pN = got < size ? got : size;
  return true;
}

bool Window_GetCursorClientPos(HWND hWnd, POINT* pPt) {
  return GetCursorPos(pPt) && ScreenToClient(hWnd, pPt);
}
