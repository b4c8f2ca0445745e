// TrayIcon: an icon in the notification area, removed when the object goes. Add it again after
// Explorer restarts (the TaskbarCreated message).
#pragma once

#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <string>

namespace lumatrove::win {

class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon `iconId` of this module for `owner`, which receives `callback` messages for
  // it, with the tooltip `tip`; false when the shell refused it.
  bool Add(HWND owner, UINT id, UINT callback, UINT iconId, const std::u16string& tip);
  // Adds it again as it was (the notification area is new after an Explorer restart).
  bool AddAgain();
  void Remove();
  // Changes the tooltip (at most 127 characters) of the icon, shown or not.
  bool SetTip(const std::u16string& tip);
  // Shows a balloon from the icon (text at most 255 characters, title at most 63); a click on
  // it arrives as the callback message with NIN_BALLOONUSERCLICK.
  bool ShowBalloon(const std::u16string& title, const std::u16string& text, bool warning);
  // The record handed to the shell; its icon is not kept after Add.
  const NOTIFYICONDATAW& Data() const { return data_; }

 private:
  NOTIFYICONDATAW data_{};
  UINT iconId_ = 0;
  bool added_ = false;
};

}  // namespace lumatrove::win
