#include "dialogs/keyassign_win.h"

#include "dialogs/keyfile.h"
#include "tools/memory.h"
#include "tools/toolbase.h"

static_assert(sizeof(KeyAccel) == sizeof(ACCEL), "accelerator entries are the platform's");
static_assert(offsetof(KeyAccel, key) == offsetof(ACCEL, key), "accelerator entries are the platform's");
static_assert(offsetof(KeyAccel, cmd) == offsetof(ACCEL, cmd), "accelerator entries are the platform's");
static_assert(KEYACCEL_VIRTKEY == FVIRTKEY && KEYACCEL_NOINVERT == FNOINVERT && KEYACCEL_SHIFT == FSHIFT &&
                  KEYACCEL_CONTROL == FCONTROL && KEYACCEL_ALT == FALT,
              "accelerator flags are the platform's");

bool KeyName_Platform(KeyCode code, char* name, int32_t size) {
  name[0] = '\0';
  UINT scan = MapVirtualKeyA(code & KEYCODE_VKEY_MASK, 0);
  if (scan == 0) return false;
  LONG param = static_cast<LONG>(scan << 16);
  if (code & KEYCODE_EXTENDED) param |= 1L << 24;
  char buffer[kKeyNameSize];
  if (GetKeyNameTextA(param, buffer, kKeyNameSize) <= 0) return false;
  String_CopyCut(name, size, buffer);
  return true;
}

HACCEL KeyAssign_BuildAccelerators(const KeyAssignItem* items, int32_t count) {
  KeyAccel* entries = nullptr;
  int32_t n = 0;
  if (!KeyAssign_BuildAcceleratorEntries(items, count, &entries, &n)) return nullptr;
  HACCEL table = CreateAcceleratorTableA(reinterpret_cast<ACCEL*>(entries), n);
  Mem_Free(entries);
  return table;
}

void KeyAssign_ReplaceAccelerators(HACCEL* phAccel, HACCEL table) {
  if (*phAccel && *phAccel != table) DestroyAcceleratorTable(*phAccel);
  *phAccel = table;
}

HACCEL KeyAssign_Load(KeyAssignData* data, const char* keyFilePath) {
  KeyAssignData_Init(data);
  int32_t count = 0;
  KeyAssignItem* items = KeyFile_Load(keyFilePath, &count);
  KeyAssignData_SetBindings(data, items, count);
  return KeyAssign_BuildAccelerators(data->keyBindings, data->keyBindingCount);
}

void KeyAssign_Free(KeyAssignData* data, HACCEL* phAccel) {
  KeyAssign_ReplaceAccelerators(phAccel, nullptr);
  KeyAssignData_SetBindings(data, nullptr, 0);
}
