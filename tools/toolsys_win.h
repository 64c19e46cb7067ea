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
