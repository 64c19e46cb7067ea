#include "tools/dlg/dyndlg.h"

#include "tools/memory.h"
#include "tools/platform.h"

#ifdef _WIN32
static_assert(kDynDlgSetFont == DS_SETFONT, "set-font style");
static_assert(kDynDlgChild == WS_CHILD, "child-window style");
#endif

namespace {

// Words being counted (pWords null) or written.
struct WordOut {
  uint16_t* pWords;
  int32_t nCount;
};

void PutWord(WordOut* out, uint16_t w) {
  if (out->pWords) out->pWords[out->nCount] = w;
  ++out->nCount;
}

// Low word first: the layout of a 32-bit value in the little-endian template.
void PutDword(WordOut* out, uint32_t v) {
  PutWord(out, static_cast<uint16_t>(v & 0xFFFF));
  PutWord(out, static_cast<uint16_t>(v >> 16));
}

void PutString(WordOut* out, const char16_t* s) {
  for (const char16_t* p = s; *p != 0; ++p) PutWord(out, static_cast<uint16_t>(*p));
  PutWord(out, 0);
}

bool IsOrdinal(DynDlgName name) { return reinterpret_cast<uintptr_t>(name) <= 0xFFFF; }

uint16_t OrdinalOf(DynDlgName name) { return static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name)); }

// An item's class or title: 0xFFFF and the ordinal, or the string.
void PutNameOrOrdinal(WordOut* out, DynDlgName name) {
  if (IsOrdinal(name)) {
    PutWord(out, 0xFFFF);
    PutWord(out, OrdinalOf(name));
  } else {
    PutString(out, name);
  }
}

// The dialog's menu or class: 0 is one zero word, else as for items.
void PutHeaderName(WordOut* out, DynDlgName name) {
  if (name == nullptr) PutWord(out, 0);
  else PutNameOrOrdinal(out, name);
}

void PadToDword(WordOut* out) {
  if (out->nCount % 2 != 0) PutWord(out, 0);
}

void PutHeader(WordOut* out, const DynDlgTemplate* t) {
  PutDword(out, t->style);
  PutDword(out, t->dwExtendedStyle);
  PutWord(out, static_cast<uint16_t>(t->cdit));
  PutWord(out, static_cast<uint16_t>(t->x));
  PutWord(out, static_cast<uint16_t>(t->y));
  PutWord(out, static_cast<uint16_t>(t->cx));
  PutWord(out, static_cast<uint16_t>(t->cy));
  PutHeaderName(out, t->pszMenu);
  PutHeaderName(out, t->pszClass);
  PutString(out, t->pszTitle ? t->pszTitle : u"");
  if (t->font) {
    PutWord(out, static_cast<uint16_t>(t->height));
    PutString(out, t->font);
  }
}

void PutItem(WordOut* out, const DynDlgItem* item) {
  PadToDword(out);
  PutDword(out, item->style | kDynDlgChild);
  PutDword(out, item->dwExtendedStyle);
  PutWord(out, static_cast<uint16_t>(item->x));
  PutWord(out, static_cast<uint16_t>(item->y));
  PutWord(out, static_cast<uint16_t>(item->cx));
  PutWord(out, static_cast<uint16_t>(item->cy));
  PutWord(out, item->id);
  PutNameOrOrdinal(out, item->pszClass);
  if (item->pszTitle == nullptr) PutWord(out, 0);
  else PutNameOrOrdinal(out, item->pszTitle);
  PutWord(out, 0);  // no creation data
}

// One pass of the builder: counts when out->pWords is null, writes otherwise.
void Build(WordOut* out, const DynDlgTemplate* tmpl, const DynDlgItem* items) {
  PutHeader(out, tmpl);
  for (int32_t i = 0; i < tmpl->cdit; ++i) PutItem(out, &items[i]);
  PadToDword(out);
}

}  // namespace

bool IsValidDynDlgTemplate(const DynDlgTemplate* tmpl, const DynDlgItem* items) {
  if (tmpl == nullptr || tmpl->cdit < 0 || tmpl->cx < 0 || tmpl->cy < 0 || tmpl->height < 0) return false;
  if ((tmpl->font != nullptr) != ((tmpl->style & kDynDlgSetFont) != 0)) return false;
  if (tmpl->cdit > 0 && items == nullptr) return false;
  for (int32_t i = 0; i < tmpl->cdit; ++i) {
    if (items[i].cx < 0 || items[i].cy < 0) return false;
  }
  return true;
}

int32_t DynDlg_Measure(const DynDlgTemplate* tmpl, const DynDlgItem* items) {
  QWIL_ASSERT(IsValidDynDlgTemplate(tmpl, items));
  WordOut out = {nullptr, 0};
  Build(&out, tmpl, items);
  return out.nCount * 2;
}

void* DynDlg_Create(const DynDlgTemplate* tmpl, const DynDlgItem* items) {
  QWIL_ASSERT(IsValidDynDlgTemplate(tmpl, items));
  int32_t bytes = DynDlg_Measure(tmpl, items);
  uint16_t* words = static_cast<uint16_t*>(Mem_Alloc(static_cast<size_t>(bytes)));
  if (!words) return nullptr;
  WordOut out = {words, 0};
  Build(&out, tmpl, items);
  QWIL_ASSERT(out.nCount * 2 == bytes);
  return words;
}

void DynDlg_Free(void* block) { Mem_Free(block); }
