// LanComputersDialog: the computers the Windows network browser sees, one row each.
#pragma once

#include "services/lan_browser.h"
#include "ui/win/dialog.h"

namespace lumatrove {

// Runs the list without a parent window, enumerating through `network`.
void ShowLanComputersDialog(NetEnumSystem& network);

class LanComputersDialog : public win::Dialog {
 public:
  explicit LanComputersDialog(NetEnumSystem& network);

 protected:
  bool OnInit() override;

 private:
  NetEnumSystem& network_;
};

}  // namespace lumatrove
