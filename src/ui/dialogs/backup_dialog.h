// BackupDialog: the adapters the main window found, the details of the selected one, and a
// name under which the selected adapter's settings (or every adapter's) become a profile.
#pragma once

#include "ui/win/dialog.h"

namespace lumatrove {

class MainDialog;

// Runs the dialog over `main`; true when a profile was added to the store's document (the
// caller saves and reloads).
bool ShowBackupDialog(MainDialog& main);

class BackupDialog : public win::Dialog {
 public:
  explicit BackupDialog(MainDialog* parent);

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnOk() override;

 private:
  int SelectedAdapter() const;
  void ShowDetails();

  MainDialog* parent_;
};

}  // namespace lumatrove
