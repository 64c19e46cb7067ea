#include "dialogs/keyname.h"

#include "tools/toolbase.h"

namespace {

struct NamedKey {
  uint8_t vk;
  const char* name;
};

// The keys whose names are not their own character or a numbered series.
const NamedKey kNamedKeys[] = {
    {0x08, "Backspace"},    {0x09, "Tab"},          {0x0C, "Num 5"},        {0x0D, "Enter"},
    {0x10, "Shift"},        {0x11, "Ctrl"},         {0x12, "Alt"},          {0x13, "Pause"},
    {0x14, "Caps Lock"},    {0x19, "Kanji"},        {0x1B, "Esc"},          {0x1C, "Convert"},
    {0x1D, "Nonconvert"},   {0x20, "Space"},        {0x21, "Page Up"},      {0x22, "Page Down"},
    {0x23, "End"},          {0x24, "Home"},         {0x25, "Left"},         {0x26, "Up"},
    {0x27, "Right"},        {0x28, "Down"},         {0x2C, "Print Screen"}, {0x2D, "Insert"},
    {0x2E, "Delete"},       {0x5B, "Left Windows"}, {0x5C, "Right Windows"}, {0x5D, "Application"},
    {0x6A, "Num *"},        {0x6B, "Num +"},        {0x6D, "Num -"},        {0x6E, "Num Del"},
    {0x6F, "Num /"},        {0x90, "Num Lock"},     {0x91, "Scroll Lock"},  {0xA0, "Shift"},
    {0xA1, "Right Shift"},  {0xA2, "Ctrl"},         {0xA3, "Right Ctrl"},   {0xA4, "Alt"},
    {0xA5, "Right Alt"},    {0xBA, ";"},            {0xBB, "="},            {0xBC, ","},
    {0xBD, "-"},            {0xBE, "."},            {0xBF, "/"},            {0xC0, "`"},
    {0xDB, "["},            {0xDC, "\\"},           {0xDD, "]"},            {0xDE, "'"},
    {0xE2, "\\"},
};

// "F1" .. "F24", "Num 0" .. "Num 9": a prefix and a number.
bool NumberedName(TextBuf* tb, unsigned vk) {
  if (0x70 <= vk && vk <= 0x87) {
    TextBuf_AppendString(tb, "F");
    TextBuf_AppendInt(tb, int64_t(vk) - 0x70 + 1);
    return true;
  }
  if (0x60 <= vk && vk <= 0x69) {
    TextBuf_AppendString(tb, "Num ");
    TextBuf_AppendInt(tb, int64_t(vk) - 0x60);
    return true;
  }
  return false;
}

}  // namespace

bool KeyName_Portable(KeyCode code, char* name, int32_t size) {
  unsigned vk = code & 0xFF;
  TextBuf tb;
  TextBuf_Init(&tb, name, size);
  if (('0' <= vk && vk <= '9') || ('A' <= vk && vk <= 'Z')) {
    char ch = static_cast<char>(vk);
    TextBuf_AppendChar(&tb, &ch, 1);
    return true;
  }
  if (NumberedName(&tb, vk)) return true;
  for (const NamedKey& key : kNamedKeys) {
    if (key.vk == vk) {
      TextBuf_AppendString(&tb, key.name);
      return true;
    }
  }
  return false;
}
