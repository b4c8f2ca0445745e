// The profiles' keyboard shortcuts: registered while the window runs, each applying its
// profile as the tray menu does.
#include <algorithm>
#include <optional>

#include "texts.h"
#include "ui/main/main_dialog.h"
#include "ui/model/hotkey.h"

namespace lumatrove {

void MainDialog::RegisterHotkeys() {
  for (size_t i = 0; i < hotkeyProfiles_.size(); ++i)
    UnregisterHotKey(Handle(), kHotkeyFirst + static_cast<int>(i));
  hotkeyProfiles_.clear();
  std::vector<Hotkey> registered;
  for (const auto& profile : store.profiles) {
    const std::optional<Hotkey> key = ParseHotkey(profile->hotkey);
    if (!key || key->empty() || hotkeyProfiles_.size() >= kHotkeyLimit) continue;
    // A key that a profile before it has (a file edited by hand) stays with that one.
    if (std::find(registered.begin(), registered.end(), *key) != registered.end()) continue;
    registered.push_back(*key);
    const int id = kHotkeyFirst + static_cast<int>(hotkeyProfiles_.size());
    if (RegisterHotKey(Handle(), id, key->modifiers, key->key)) {
      hotkeyProfiles_.push_back(profile->id);
      continue;
    }
    hotkeyProfiles_.push_back(u"");  // keeps the ids after it in their places
    const std::u16string said = profile->id + u" " + profile->hotkey;
    if (std::find(heldHotkeysSaid_.begin(), heldHotkeysSaid_.end(), said) !=
        heldHotkeysSaid_.end()) {
      continue;
    }
    heldHotkeysSaid_.push_back(said);
    const std::u16string text = texts::HotkeyHeld(profile->name, HotkeyText(*key));
    Append(text);
    Message(text, MB_ICONEXCLAMATION);
  }
}

void MainDialog::OnHotkey(int id) {
  const size_t at = static_cast<size_t>(id - kHotkeyFirst);
  if (id < kHotkeyFirst || at >= hotkeyProfiles_.size() || hotkeyProfiles_[at].empty()) return;
  for (size_t row = 0; row < store.profiles.size(); ++row) {
    if (store.profiles[row]->id == hotkeyProfiles_[at]) {
      ApplyProfileAt(static_cast<int>(row));
      return;
    }
  }
}

}  // namespace lumatrove
