// CurrentConfigDialog: the TCP/IP settings every adapter has now, as one read-only text, and
// "備份返回" to store them as a profile. It discovers the adapters itself each time it opens.
#pragma once

#include "netcfg/net_adapter_layer.h"
#include "ui/win/dialog.h"

namespace lumatrove {

class MainDialog;

// Runs the view over `main`; true when the settings were added to the store as a profile
// (the caller saves and reloads).
bool ShowCurrentConfigDialog(MainDialog& main);

class CurrentConfigDialog : public win::Dialog {
 public:
  explicit CurrentConfigDialog(MainDialog* parent);

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnOk() override;

 private:
  MainDialog* parent_;
  NetAdapterLayer adapters_;
};

}  // namespace lumatrove
