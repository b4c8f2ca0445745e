// Dialogs from templates: the static procedure stores `this` at WM_INITDIALOG and dispatches
// to virtual handlers that return whether they handled the message. No exception crosses the
// procedure. RunModal runs an own message loop, so that PreTranslateMessage sees every message
// first, as a frame's message pump would.
#pragma once

#include "ui/win/handles.h"
#include "ui/win/window.h"

namespace lumatrove::win {

class Dialog : public Window {
 public:
  explicit Dialog(UINT templateId) : templateId_(templateId) {}
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog until End; disables `parent` meanwhile. Returns End's result, or -1
  // when the dialog cannot be created.
  INT_PTR RunModal(HWND parent);
  // Creates the dialog without running it (a modeless or child dialog); false on failure.
  bool CreateModeless(HWND parent);
  void End(INT_PTR result);
  void Destroy();

  // Sets the dialog's large and small icons from the icon resource `id`; the dialog keeps them.
  void SetIcons(UINT id);

  // The dialog's items.
  bool SetItemText(int id, const std::u16string& text) const {
    return SetDlgItemTextW(Handle(), id, W(text)) != FALSE;
  }
  std::u16string ItemText(int id) const { return Window(Item(id)).Text(); }
  bool EnableItem(int id, bool on) const { return Window(Item(id)).Enable(on); }
  bool ShowItem(int id, bool show) const { return Window(Item(id)).Show(show ? SW_SHOW : SW_HIDE); }
  void CheckButton(int id, bool on) const {
    CheckDlgButton(Handle(), id, on ? BST_CHECKED : BST_UNCHECKED);
  }
  bool IsButtonChecked(int id) const { return IsDlgButtonChecked(Handle(), id) == BST_CHECKED; }
  bool SetItemInt(int id, int value) const {
    return SetDlgItemInt(Handle(), id, static_cast<UINT>(value), TRUE) != FALSE;
  }
  // The item's text as a decimal number; false when it is not one.
  bool ItemInt(int id, int& value) const {
    BOOL ok = FALSE;
    value = static_cast<int>(GetDlgItemInt(Handle(), id, &ok, TRUE));
    return ok != FALSE;
  }

 protected:
  virtual bool OnInit() { return true; }  // true: the default focus
  // A command of a control or menu; OK and Cancel reach OnOk and OnCancel when this does not
  // handle them.
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  // The OK button or Return: copy the controls into the model, validate, End(IDOK). The
  // Cancel button, Escape or the close box: End(IDCANCEL).
  virtual void OnOk() { End(IDOK); }
  virtual void OnCancel() { End(IDCANCEL); }
  virtual bool OnNotify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
  // Any other message; `result` is what the procedure returns when handled.
  virtual bool OnMessage(UINT /*message*/, WPARAM, LPARAM, INT_PTR& /*result*/) { return false; }
  // Seen before the message is dispatched; true swallows it.
  virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }
  // Called while the window still exists, before it is destroyed.
  virtual void OnDestroy() {}

  bool Ended() const { return ended_; }

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM w, LPARAM l);
  INT_PTR Dispatch(UINT message, WPARAM w, LPARAM l);

  UINT templateId_;
  Icon icon_;
  Icon smallIcon_;
  bool ended_ = false;
  bool modeless_ = false;
  INT_PTR result_ = 0;
};

}  // namespace lumatrove::win
