#include "dialogs/keyassign.h"

#include <cstring>

#include "tools/memory.h"
#include "tools/toolbase.h"

namespace {

const CommandName kCommandNames[kCommandNameCount] = {
    {40071, "About"},
    {40152, "Shift_JIS に変換して開き直す"},
    {40131, "すべて元に戻す"},
    {40017, "すべて選択"},
    {40111, "なし"},
    {40012, "やり直し"},
    {40005, "アプリケーションの終了"},
    {40140, "インデント"},
    {40089, "ウィンドウ枠"},
    {40085, "キーの割り当て"},
    {40114, "クリップボード履歴から貼り付け"},
    {40014, "コピー"},
    {40051, "ステータス バー"},
    {40061, "タブ文字"},
    {40146, "ファイルの再読込"},
    {40002, "ファイルを開く"},
    {40065, "ファイル終端記号"},
    {40138, "ファイル名のコピー"},
    {40139, "ファイル名の挿入"},
    {40083, "フォントの指定"},
    {40124, "右端で折り返す"},
    {40064, "改行文字"},
    {40141, "逆インデント"},
    {40031, "検索"},
    {40011, "元に戻す"},
    {40054, "元のサイズに戻す"},
    {40121, "現在日時の挿入"},
    {40018, "行選択"},
    {40130, "行番号"},
    {40052, "最小化"},
    {40053, "最大化"},
    {40016, "削除"},
    {40041, "指定行へジャンプ"},
    {40032, "次を検索"},
    {40091, "小文字に変換"},
    {40003, "上書き保存"},
    {40135, "常に後ろに表示"},
    {40055, "常に手前に表示"},
    {40001, "新規作成"},
    {40013, "切り取り"},
    {40081, "設定"},
    {40034, "選択文字列の下方検索"},
    {40035, "選択文字列の上方検索"},
    {40033, "前を検索"},
    {40102, "全角カタカナに変換"},
    {40096, "全角英字に変換"},
    {40100, "全角記号に変換"},
    {40063, "全角空白"},
    {40098, "全角数字に変換"},
    {40094, "全角文字に変換"},
    {40093, "大文字と小文字を交換"},
    {40092, "大文字に変換"},
    {40019, "単語選択"},
    {40036, "置換"},
    {40015, "貼り付け"},
    {40115, "日本語入力"},
    {40103, "半角カタカナに変換"},
    {40097, "半角英字に変換"},
    {40101, "半角記号に変換"},
    {40062, "半角空白"},
    {40099, "半角数字に変換"},
    {40095, "半角文字に変換"},
    {40082, "表示の設定"},
    {40006, "保存して終了"},
    {40004, "名前を付けて保存"},
};

constexpr uint8_t kPlain = KEYACCEL_VIRTKEY | KEYACCEL_NOINVERT;
constexpr uint8_t kCtrl = kPlain | KEYACCEL_CONTROL;
constexpr uint8_t kShift = kPlain | KEYACCEL_SHIFT;
constexpr uint8_t kAlt = kPlain | KEYACCEL_ALT;
constexpr uint8_t kCtrlShift = kCtrl | KEYACCEL_SHIFT;
constexpr uint8_t kCtrlAlt = kCtrl | KEYACCEL_ALT;
constexpr uint8_t kCtrlShiftAlt = kCtrlShift | KEYACCEL_ALT;

// Virtual keys of the built-in shortcuts that are not letters.
constexpr uint16_t kVkBack = 0x08;
constexpr uint16_t kVkInsert = 0x2D;
constexpr uint16_t kVkDelete = 0x2E;
constexpr uint16_t kVkF3 = 0x72;
constexpr uint16_t kVkF6 = 0x75;
constexpr uint16_t kVkF12 = 0x7B;

const KeyAccel kBuiltinAccels[kBuiltinAccelCount] = {
    {kCtrl, 'A', 40017},         {kCtrl, 'C', 40014},          {kCtrl, 'F', 40031},
    {kCtrlShiftAlt, 'G', 40089}, {kCtrl, 'J', 40041},          {kCtrl, 'L', 40091},
    {kCtrlShift, 'L', 40093},    {kCtrl, 'N', 40001},          {kCtrl, 'O', 40002},
    {kCtrl, 'P', 40132},         {kCtrl, 'R', 40036},          {kCtrl, 'S', 40003},
    {kCtrl, 'U', 40092},         {kCtrlShift, 'U', 40093},     {kCtrl, 'X', 40013},
    {kCtrl, 'Z', 40011},         {kCtrl, 'V', 40015},          {kCtrlShift, 'V', 40114},
    {kAlt, kVkBack, 40011},      {kShift, kVkDelete, 40013},   {kPlain, kVkF12, 40006},
    {kPlain, kVkF3, 40032},      {kCtrl, kVkF3, 40034},        {kShift, kVkF3, 40033},
    {kCtrlShift, kVkF3, 40035},  {kPlain, kVkF6, 40121},       {kCtrl, kVkInsert, 40014},
    {kCtrlAlt, kVkInsert, 40114}, {kShift, kVkInsert, 40015},  {kCtrl, 'W', 40019},
    {kCtrl, 'Y', 40012},
};

// A stable merge sort: equal elements keep their order, so duplicate bindings stay
// in the order the key file lists them. Needs a scratch array of n elements.
template <typename T>
bool StableSort(T* a, int32_t n, bool (*less)(const T&, const T&)) {
  if (n < 2) return true;
  T* scratch = static_cast<T*>(Mem_Alloc(sizeof(T) * static_cast<size_t>(n)));
  if (!scratch) return false;
  for (int32_t width = 1; width < n; width *= 2) {
    for (int32_t lo = 0; lo < n; lo += 2 * width) {
      int32_t mid = lo + width < n ? lo + width : n;
      int32_t hi = lo + 2 * width < n ? lo + 2 * width : n;
      int32_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) scratch[k++] = less(a[j], a[i]) ? a[j++] : a[i++];
      while (i < mid) scratch[k++] = a[i++];
      while (j < hi) scratch[k++] = a[j++];
    }
    std::memcpy(a, scratch, sizeof(T) * static_cast<size_t>(n));
  }
  Mem_Free(scratch);
  return true;
}

bool AccelLess(const KeyAccel& a, const KeyAccel& b) {
  if (a.key != b.key) return a.key < b.key;
  return a.fVirt < b.fVirt;
}

bool AccelSame(const KeyAccel& a, const KeyAccel& b) { return a.key == b.key && a.fVirt == b.fVirt; }

KeyAccel* CopyAccels(const KeyAccel* entries, int32_t n) {
  KeyAccel* copy = static_cast<KeyAccel*>(Mem_Alloc(sizeof(KeyAccel) * static_cast<size_t>(n)));
  if (copy) std::memcpy(copy, entries, sizeof(KeyAccel) * static_cast<size_t>(n));
  return copy;
}

// Both inputs sorted; a user entry equal to the base head replaces it.
int32_t MergeSorted(const KeyAccel* base, int32_t nBase, const KeyAccel* user, int32_t nUser, KeyAccel* out) {
  int32_t i = 0, j = 0, n = 0;
  while (i < nBase && j < nUser) {
    if (AccelSame(base[i], user[j])) {
      out[n++] = user[j++];
      ++i;
    } else if (AccelLess(user[j], base[i])) {
      out[n++] = user[j++];
    } else {
      out[n++] = base[i++];
    }
  }
  while (i < nBase) out[n++] = base[i++];
  while (j < nUser) out[n++] = user[j++];
  return n;
}

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

const char* FindCommandName(int32_t id) {
  for (const CommandName& row : kCommandNames) {
    if (row.id == id) return row.name;
  }
  return nullptr;
}

}  // namespace

void KeyAssignData_Init(KeyAssignData* data) {
  data->keyBindingCount = 0;
  data->keyBindings = nullptr;
}

bool IsValidKeyAssignData(const KeyAssignData* data) {
  if (data == nullptr || data->keyBindingCount < 0) return false;
  if ((data->keyBindingCount == 0) != (data->keyBindings == nullptr)) return false;
  for (int32_t i = 1; i < data->keyBindingCount; ++i) {
    if (KeyAssignItem_Less(data->keyBindings[i], data->keyBindings[i - 1])) return false;
  }
  return true;
}

void KeyAssignData_SetBindings(KeyAssignData* data, KeyAssignItem* items, int32_t count) {
  Mem_Free(data->keyBindings);
  data->keyBindings = count > 0 ? items : nullptr;
  data->keyBindingCount = count > 0 ? count : 0;
  if (count <= 0) Mem_Free(items);
  QWIL_ASSERT(IsValidKeyAssignData(data));
}

bool KeyAssignItem_Less(const KeyAssignItem& a, const KeyAssignItem& b) {
  KeyCode va = a.dwKeyCode & KEYCODE_VKEY_MASK;
  KeyCode vb = b.dwKeyCode & KEYCODE_VKEY_MASK;
  if (va != vb) return va < vb;
  return a.dwKeyCode < b.dwKeyCode;
}

bool KeyAssignItem_Sort(KeyAssignItem* items, int32_t count) { return StableSort(items, count, KeyAssignItem_Less); }

const CommandName* CommandName_GetTable() { return kCommandNames; }

bool CommandName_FromId(int32_t id, char* buffer, int32_t size) {
  const char* name = FindCommandName(id);
  String_CopyCut(buffer, size, name ? name : kUnknownCommandName);
  return name != nullptr;
}

int32_t CommandName_ToId(const char* text) {
  for (const CommandName& row : kCommandNames) {
    if (StartsWith(text, row.name)) return row.id;
  }
  return static_cast<int32_t>(String_ToUnsigned(text, 16, nullptr));
}

const KeyAccel* KeyAssign_GetBuiltinAccelerators() { return kBuiltinAccels; }

KeyAccel KeyAssign_ToAccel(const KeyAssignItem& item) {
  KeyAccel accel;
  accel.fVirt = static_cast<uint8_t>(KEYACCEL_VIRTKEY | KEYACCEL_NOINVERT | (((item.dwKeyCode >> 8) & 7) << 2));
  accel.key = static_cast<uint16_t>(item.dwKeyCode & KEYCODE_VKEY_MASK);
  accel.cmd = static_cast<uint16_t>(item.nCommandId & 0xFFFF);
  return accel;
}

bool KeyAssign_MergeAccelerators(const KeyAccel* base, int32_t nBase, const KeyAssignItem* items, int32_t count,
                                 KeyAccel** ppEntries, int32_t* pnEntries) {
  *ppEntries = nullptr;
  *pnEntries = 0;
  if (base == nullptr || nBase <= 0) return false;
  if (count < 0) count = 0;
  KeyAccel* sortedBase = CopyAccels(base, nBase);
  KeyAccel* user = static_cast<KeyAccel*>(Mem_Alloc(sizeof(KeyAccel) * static_cast<size_t>(count)));
  KeyAccel* merged = static_cast<KeyAccel*>(Mem_Alloc(sizeof(KeyAccel) * (static_cast<size_t>(nBase) + count)));
  bool ok = sortedBase && user && merged;
  if (ok) {
    for (int32_t i = 0; i < count; ++i) user[i] = KeyAssign_ToAccel(items[i]);
    ok = StableSort(sortedBase, nBase, AccelLess) && StableSort(user, count, AccelLess);
  }
  if (ok) {
    *pnEntries = MergeSorted(sortedBase, nBase, user, count, merged);
    *ppEntries = merged;
  } else {
    Mem_Free(merged);
  }
  Mem_Free(sortedBase);
  Mem_Free(user);
  return ok;
}

bool KeyAssign_BuildAcceleratorEntries(const KeyAssignItem* items, int32_t count, KeyAccel** ppEntries,
                                       int32_t* pnEntries) {
  return KeyAssign_MergeAccelerators(kBuiltinAccels, kBuiltinAccelCount, items, count, ppEntries, pnEntries);
}

int32_t KeyCode_Format(KeyCode code, KeyNameFunc pfnName, char* buffer, int32_t size) {
  char name[kKeyNameSize];
  if (!(pfnName ? pfnName : KeyName_Portable)(code, name, kKeyNameSize)) name[0] = '\0';
  name[kKeyNameSize - 1] = '\0';
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  if (code & KEYCODE_CONTROL) TextBuf_AppendString(&tb, "Ctrl + ");
  if (code & KEYCODE_SHIFT) TextBuf_AppendString(&tb, "Shift + ");
  if (code & KEYCODE_ALT) TextBuf_AppendString(&tb, "Alt + ");
  TextBuf_AppendString(&tb, name);
  return tb.nLength;
}
