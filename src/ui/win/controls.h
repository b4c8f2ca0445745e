// Thin wrappers of the common controls the dialogs use: the IP-address control, the combo
// box, the list box and the tab control. Each owns nothing and is one message per call.
#pragma once

#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "ui/win/window.h"

namespace lumatrove::win {

class IpAddressCtrl : public Window {
 public:
  using Window::Window;
  // The address as one number, the first field in the most significant byte.
  void SetAddress(uint32_t address) const { Send(IPM_SETADDRESS, 0, static_cast<LPARAM>(address)); }
  // False when every field is blank; `address` then is 0.
  bool GetAddress(uint32_t& address) const {
    DWORD value = 0;
    const LRESULT filled = Send(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value));
    address = value;
    return filled != 0;
  }
  void Clear() const { Send(IPM_CLEARADDRESS); }
  bool IsBlank() const { return Send(IPM_ISBLANK) != 0; }
  // Limits field `field` (0-3) to [low, high].
  void SetFieldRange(int field, uint8_t low, uint8_t high) const {
    Send(IPM_SETRANGE, static_cast<WPARAM>(field), MAKEIPRANGE(low, high));
  }
  void FocusField(int field) const { Send(IPM_SETFOCUS, static_cast<WPARAM>(field)); }
};

class ComboBox : public Window {
 public:
  using Window::Window;
  int AddString(const std::u16string& text) const {
    return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text))));
  }
  void ResetContent() const { Send(CB_RESETCONTENT); }
  int Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
  int CurrentSelection() const { return static_cast<int>(Send(CB_GETCURSEL)); }
  bool SetCurrentSelection(int index) const {
    return Send(CB_SETCURSEL, static_cast<WPARAM>(index)) != CB_ERR || index < 0;
  }
  std::u16string ItemText(int index) const;
  LRESULT ItemData(int index) const { return Send(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
  void SetItemData(int index, LPARAM data) const {
    Send(CB_SETITEMDATA, static_cast<WPARAM>(index), data);
  }
};

class ListBox : public Window {
 public:
  using Window::Window;
  int AddString(const std::u16string& text) const {
    return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text))));
  }
  void ResetContent() const { Send(LB_RESETCONTENT); }
  int CurrentSelection() const { return static_cast<int>(Send(LB_GETCURSEL)); }
  void SetCurrentSelection(int index) const { Send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
};

class TabCtrl : public Window {
 public:
  using Window::Window;
  int InsertItem(int index, const std::u16string& text) const {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(W(text));
    return static_cast<int>(
        Send(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
  }
  int ItemCount() const { return static_cast<int>(Send(TCM_GETITEMCOUNT)); }
  void DeleteAllItems() const { Send(TCM_DELETEALLITEMS); }
  int CurrentSelection() const { return static_cast<int>(Send(TCM_GETCURSEL)); }
  int SetCurrentSelection(int index) const {
    return static_cast<int>(Send(TCM_SETCURSEL, static_cast<WPARAM>(index)));
  }
  // The display area for a window rectangle (or the reverse, with `larger`).
  RECT AdjustRect(RECT r, bool larger = false) const {
    Send(TCM_ADJUSTRECT, larger ? TRUE : FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
  }
};

}  // namespace lumatrove::win
