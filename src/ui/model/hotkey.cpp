#include "ui/model/hotkey.h"

#include <array>

#include "base/ascii_text.h"

namespace lumatrove {
namespace {

struct NamedKey {
  uint8_t key;
  std::u16string_view name;
};

// Keys by name, besides letters, digits and F1 to F24.
constexpr std::array<NamedKey, 28> kNamedKeys = {{
    {0x08, u"Backspace"}, {0x09, u"Tab"},   {0x0D, u"Enter"}, {0x13, u"Pause"}, {0x1B, u"Esc"},
    {0x20, u"Space"},     {0x21, u"PgUp"},  {0x22, u"PgDn"},  {0x23, u"End"},   {0x24, u"Home"},
    {0x25, u"Left"},      {0x26, u"Up"},    {0x27, u"Right"}, {0x28, u"Down"},  {0x2D, u"Ins"},
    {0x2E, u"Del"},       {0x6A, u"Num *"}, {0x6B, u"Num +"}, {0x6D, u"Num -"}, {0x6E, u"Num ."},
    {0x6F, u"Num /"},     {0xBA, u";"},     {0xBB, u"="},     {0xBC, u","},     {0xBD, u"-"},
    {0xBE, u"."},         {0xBF, u"/"},     {0xC0, u"`"},
}};

constexpr std::array<std::pair<uint8_t, std::u16string_view>, 4> kModifiers = {{
    {Hotkey::kCtrl, u"Ctrl"},
    {Hotkey::kAlt, u"Alt"},
    {Hotkey::kShift, u"Shift"},
    {Hotkey::kWin, u"Win"},
}};

std::u16string KeyName(uint8_t key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::u16string(1, key);
  if (key >= 0x70 && key <= 0x87) return u"F" + DecimalText(key - 0x70 + 1);
  if (key >= 0x60 && key <= 0x69) return u"Num " + DecimalText(key - 0x60);
  for (const NamedKey& k : kNamedKeys)
    if (k.key == key) return std::u16string(k.name);
  return {};
}

uint8_t KeyOfName(std::u16string_view name) {
  for (int key = 1; key < 256; ++key) {
    const std::u16string known = KeyName(static_cast<uint8_t>(key));
    if (!known.empty() && EqualsIgnoringAsciiCase(known, name)) return static_cast<uint8_t>(key);
  }
  return 0;
}

}  // namespace

std::u16string HotkeyText(Hotkey hotkey) {
  const std::u16string key = KeyName(hotkey.key);
  if (key.empty()) return {};
  std::u16string text;
  for (const auto& [bit, name] : kModifiers) {
    if ((hotkey.modifiers & bit) != 0) {
      text += name;
      text += u'+';
    }
  }
  return text + key;
}

bool IsUsableHotkey(Hotkey hotkey) {
  if (KeyName(hotkey.key).empty()) return false;
  if ((hotkey.modifiers & (Hotkey::kCtrl | Hotkey::kAlt | Hotkey::kWin)) == 0) {
    // Alone or with Shift only, a key would be taken from every other program; the
    // function keys and Pause are what keyboards leave free for that.
    return (hotkey.key >= 0x70 && hotkey.key <= 0x87) || hotkey.key == 0x13;
  }
  return true;
}

std::optional<Hotkey> ParseHotkey(std::u16string_view text) {
  if (text.empty()) return Hotkey{};
  Hotkey hotkey;
  for (;;) {
    // "Num +" and "+" itself hold the separator: a name is matched whole before splitting.
    if (const uint8_t key = KeyOfName(text); key != 0) {
      hotkey.key = key;
      break;
    }
    const size_t plus = text.find(u'+');
    if (plus == std::u16string_view::npos) return std::nullopt;
    const std::u16string_view name = text.substr(0, plus);
    uint8_t bit = 0;
    for (const auto& [b, n] : kModifiers)
      if (EqualsIgnoringAsciiCase(n, name)) bit = b;
    if (bit == 0 || (hotkey.modifiers & bit) != 0) return std::nullopt;
    hotkey.modifiers |= bit;
    text.remove_prefix(plus + 1);
  }
  if (!IsUsableHotkey(hotkey)) return std::nullopt;
  return hotkey;
}

Hotkey HotkeyOfControl(uint16_t value) {
  Hotkey hotkey;
  hotkey.key = static_cast<uint8_t>(value & 0xFF);
  const unsigned flags = value >> 8;
  if ((flags & 1) != 0) hotkey.modifiers |= Hotkey::kShift;
  if ((flags & 2) != 0) hotkey.modifiers |= Hotkey::kCtrl;
  if ((flags & 4) != 0) hotkey.modifiers |= Hotkey::kAlt;
  return hotkey;
}

uint16_t ControlValueOf(Hotkey hotkey) {
  unsigned flags = 0;
  if ((hotkey.modifiers & Hotkey::kShift) != 0) flags |= 1;
  if ((hotkey.modifiers & Hotkey::kCtrl) != 0) flags |= 2;
  if ((hotkey.modifiers & Hotkey::kAlt) != 0) flags |= 4;
  return static_cast<uint16_t>(hotkey.key | (flags << 8));
}

const Profile* ProfileWithHotkey(const std::vector<std::unique_ptr<Profile>>& profiles,
                                 Hotkey hotkey, std::u16string_view except) {
  if (hotkey.empty()) return nullptr;
  for (const auto& p : profiles) {
    if (p->id == except) continue;
    const std::optional<Hotkey> own = ParseHotkey(p->hotkey);
    if (own && *own == hotkey) return p.get();
  }
  return nullptr;
}

}  // namespace lumatrove
