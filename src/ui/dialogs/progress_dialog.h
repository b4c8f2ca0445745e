// ProgressDialog: the small window shown, modeless, while a profile is applied. It has no
// state of its own; closing it only hides it, and its owner destroys it.
#pragma once

#include "ui/win/dialog.h"

namespace lumatrove {

class ProgressDialog : public win::Dialog {
 public:
  ProgressDialog();
  // The bar's range (from 0) and position; nothing while the window does not exist.
  void SetRange(unsigned maximum) const;
  void SetPosition(unsigned position) const;

 protected:
  bool OnMessage(UINT message, WPARAM w, LPARAM l, INT_PTR& result) override;
  bool OnCommand(int id, int code, HWND control) override;
};

}  // namespace lumatrove
