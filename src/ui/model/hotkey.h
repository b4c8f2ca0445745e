// A keyboard shortcut of a profile: the key and its modifiers, as the profile stores it
// (HOTKEY="Ctrl+Alt+F5", which older versions pass over), as the hotkey control and
// RegisterHotKey take it, and as menus name it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/profile.h"

namespace lumatrove {

struct Hotkey {
  // Modifier bits, as RegisterHotKey's MOD_* values.
  static constexpr uint8_t kAlt = 1;
  static constexpr uint8_t kCtrl = 2;
  static constexpr uint8_t kShift = 4;
  static constexpr uint8_t kWin = 8;

  uint8_t key = 0;  // a virtual-key code; 0: none
  uint8_t modifiers = 0;

  bool empty() const { return key == 0; }
  bool operator==(const Hotkey&) const = default;
};

// "Ctrl+Alt+F5": the modifiers in the order Windows' menus write them, then the key's name;
// "" for no key.
std::u16string HotkeyText(Hotkey hotkey);
// The stored text back; an empty text is no key. Nothing for a text that names no key, a
// key without a modifier other than Shift (it would take the key from every other program),
// or a key that cannot be a shortcut (Tab, Enter, Escape, Space, Delete, Backspace alone).
std::optional<Hotkey> ParseHotkey(std::u16string_view text);
// Whether a key is one a profile may take: see ParseHotkey.
bool IsUsableHotkey(Hotkey hotkey);

// The hotkey control's value (HKM_GETHOTKEY: the key in the low byte, HOTKEYF_SHIFT 1,
// HOTKEYF_CONTROL 2, HOTKEYF_ALT 4 in the high byte) and back.
Hotkey HotkeyOfControl(uint16_t value);
uint16_t ControlValueOf(Hotkey hotkey);

// The profile of `profiles` other than `except` that has `hotkey` already; null when none.
const Profile* ProfileWithHotkey(const std::vector<std::unique_ptr<Profile>>& profiles,
                                 Hotkey hotkey, std::u16string_view except);

}  // namespace lumatrove
