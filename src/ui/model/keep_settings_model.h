// The question after an apply when confirmation is on: keep the new settings, or go back to
// what the adapters had before when nobody answers in time, as display settings do.
#pragma once

#include <string>

namespace lumatrove {

inline constexpr int kKeepSettingsSeconds = 15;

class KeepSettingsCountdown {
 public:
  explicit KeepSettingsCountdown(int seconds = kKeepSettingsSeconds) : left_(seconds) {}

  // One second has passed; true once the time is up and the settings go back.
  bool Tick() {
    if (left_ > 0) --left_;
    return left_ == 0;
  }
  int SecondsLeft() const { return left_; }
  // "15 秒後將還原為套用前的設定。"
  std::u16string CountdownText() const;

 private:
  int left_;
};

}  // namespace lumatrove
