// SettingsDialog: start with Windows, automatic update and the action log, stored at once.
#pragma once

#include "ui/win/dialog.h"

namespace lumatrove {

class MainDialog;

// Runs the dialog over `main`; true after OK, when the settings were stored.
bool ShowSettingsDialog(MainDialog& main);

class SettingsDialog : public win::Dialog {
 public:
  explicit SettingsDialog(MainDialog* owner);

 protected:
  bool OnInit() override;
  void OnOk() override;

 private:
  MainDialog* owner_;
};

}  // namespace lumatrove
