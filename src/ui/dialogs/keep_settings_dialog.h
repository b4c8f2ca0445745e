// KeepSettingsDialog: asks, after an apply, whether to keep the new settings, counting down
// the seconds left; when they run out it ends as if "還原" had been chosen.
#pragma once

#include "ui/model/keep_settings_model.h"
#include "ui/win/dialog.h"

namespace lumatrove {

// True when the user chose to keep the settings.
bool AskToKeepSettings(HWND owner);

class KeepSettingsDialog : public win::Dialog {
 public:
  KeepSettingsDialog();

 protected:
  bool OnInit() override;
  bool OnMessage(UINT message, WPARAM w, LPARAM l, INT_PTR& result) override;
  void OnDestroy() override;

 private:
  KeepSettingsCountdown countdown_;
};

}  // namespace lumatrove
