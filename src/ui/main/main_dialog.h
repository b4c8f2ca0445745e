// MainDialog: the application's main window. It owns the profile store and the adapter layer
// for the program's life, lists the profiles, applies one on double-click with a progress
// window, and lives in the notification area: closing or minimising only hides it.
#pragma once

#include <windows.h>
// After windows.h.
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "netcfg/net_adapter_layer.h"
#include "store/profile_store.h"
#include "ui/controls/profile_list_ctrl.h"
#include "ui/dialogs/progress_dialog.h"
#include "ui/model/live_state.h"
#include "ui/model/main_window_model.h"
#include "ui/model/menu_layout.h"
#include "ui/win/dialog.h"
#include "ui/win/handles.h"
#include "ui/win/menu.h"
#include "ui/win/tray_icon.h"

namespace lumatrove {

inline constexpr wchar_t kInstanceMarker[] = L"Lumatrove-Good";
inline constexpr UINT kTrayCallback = WM_USER + 1;
inline constexpr UINT kTrayIconId = 129;
// Posted by a key pressed in the profile list, to be handled once the list has moved its
// selection; wParam is the row selected before.
inline constexpr UINT kKeyboardSelectionMessage = WM_APP + 1;
// Posted by the update check's worker; lParam is the UpdateOutcome it found, now the window's.
inline constexpr UINT kUpdateCheckedMessage = WM_APP + 2;
// Posted by the address watch when Windows reports an address change.
inline constexpr UINT kAddressChangedMessage = WM_APP + 3;
inline constexpr UINT_PTR kLiveRefreshTimer = 0x4C56;

// What SaveAndReload saved: after a new, modified or backed-up profile it says so in a
// message; after a removal or a copy only the log does.
inline constexpr int kSavedNew = 0;
inline constexpr int kSavedModified = 1;
inline constexpr int kSavedBackup = 2;
inline constexpr int kSavedRemoved = 3;
inline constexpr int kSavedCopied = 4;
inline constexpr int kSavedRepaired = 5;  // "修復組態檔案成功" once it is saved
inline constexpr int kSavedImported = 6;

// The help file beside the program.
inline constexpr std::u16string_view kHelpFile = u"Lumatrove使用手冊.chm";

class MainDialog : public win::Dialog {
 public:
  // `net` and `system` are the computer the window works on; they outlive it.
  MainDialog(HWND parent, NetSystem& net, StoreSystem& system);
  ~MainDialog() override;

  // Rebuilds the rows, profileIds and tooltips from store.profiles.
  void FillProfileList();
  // Saves the document and reopens the store; `kind` decides the success message.
  bool SaveAndReload(int kind);
  // Applies the profile of `row` with the progress window and reports the outcome.
  bool ApplyProfileAt(int row);
  // Applies the last undo snapshot.
  bool UndoLastApply();
  // Whether lumatrove.undo holds a snapshot that can be applied.
  bool UndoSnapshotExists();
  // Reads what Windows uses now; marks the live rows and writes the tray tooltip.
  void RefreshLiveState();
  // Enables or greys the commands that need a current row.
  void UpdateCommandStates();
  // Fills the tray menu's and the options menu's submenus with the adapters and the rows.
  void BuildDynamicMenus();
  // Shows the window from the notification area.
  void ShowMainWindow();
  // Appends to the action log when logging is on.
  void Append(std::u16string_view text);
  // A message box captioned "Lumatrove", owned by `owner` (the main window when none).
  int Message(std::u16string_view text, UINT flags, HWND owner = nullptr);
  // The computer the window works on, for the dialogs that discover adapters of their own.
  NetSystem& Net() { return net_; }

  INT_PTR Run() { return RunModal(parent_); }

  // Members used by the commands and dialogs.
  NetAdapterLayer netAdapters;
  ProfileStore store;
  std::u16string workDir;
  ProfileListCtrl profileList;
  // What the rows show and the profile each stands for, both as of the last FillProfileList.
  ProfileRows profileRows;
  std::vector<std::u16string> profileIds;
  int shownByUser = 1;
  win::TrayIcon trayIcon;

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT& result) override;
  bool OnMessage(UINT message, WPARAM w, LPARAM l, INT_PTR& result) override;
  bool PreTranslateMessage(MSG& msg) override;
  void OnDestroy() override;

 private:
  // The current row for a command that needs one; -1, after saying so, when there is none.
  int RowForCommand();
  // Saves and reloads after a profile command changed the document, and lists the result
  // without a current row.
  void ShowChangedProfiles(int kind);
  void NewProfile();
  void ModifyProfile();
  void ShowProfileProperties();
  void RemoveProfile();
  void CopyProfile();
  // The tool commands.
  void ShowHelp();
  void CreateShortcut();
  void EditSettings();
  void RepairProfiles();
  void ImportProfiles();
  std::vector<const AdapterInfo*> AdapterSnapshot() const;
  // The update check at start, and what the window does with its outcome.
  void StartUpdateCheck();
  void OnUpdateChecked(LPARAM outcome);
  // Enables or disables the adapter of the submenus' entry `index`.
  void SetAdapterEnabled(size_t index, bool enable);
  // Opens system.log in Notepad; empties it after asking.
  void ViewLog();
  void ClearLog();
  void CreateToolBar();
  void CreateStatusBar();
  void SetupProfileList();
  // Puts the list just below the toolbar.
  void PlaceProfileList();
  // A length laid out for 96 DPI, at the screen's DPI.
  int Px(int pixels) const { return ScaleToDpi(pixels, dpi_); }
  void SetPrompt(const std::u16string& text);
  bool OnListNotify(NMHDR* header);
  // A selection that the keyboard moved makes its row the current row.
  void FollowKeyboardSelection(int selectedBefore);
  // Writes what opening the store repaired in the IDs to the action log.
  void LogIdRepairs();
  bool OnToolTipText(NMHDR* header);
  bool OnSysCommand(WPARAM command);
  void OnTrayCallback(LPARAM mouse);
  // The list's context menu: at the cursor, or from the keyboard at the current row.
  void ShowContextMenu(bool fromKeyboard = false);
  // Shows `popup` at `place` (screen coordinates; the cursor when none); its choice arrives
  // as a command.
  void ShowPopupMenu(const win::Menu& popup, const POINT* place = nullptr);
  // The keys of the profile list: Enter applies the current row, Delete removes it, F2 edits
  // it, the menu key and Shift+F10 open its context menu. True when `msg` was one of them.
  bool OnListKey(const MSG& msg);
  void OnSetCursor(HWND over);

  NetSystem& net_;
  StoreSystem& system_;
  HWND parent_;
  int dpi_ = 96;
  // How an apply goes: a profile and the undo command keep a snapshot before and may ask
  // whether to keep the result; going back after an unanswered question does neither.
  enum class ApplyKind { kProfile, kUndo, kRevert };
  bool ApplyAndFollow(const Profile& profile, std::u16string_view content,
                      const std::u16string& name, ApplyKind kind);
  // False when another device answers for a fixed address of `profile` and the user does not
  // want it applied anyway.
  bool ConfirmAddressesAreFree(const Profile& profile, ProgressDialog& progress);
  // Waits until Windows shows `profile` (at most kApplyWaitMs), the bar showing the time.
  ApplyWaitOutcome WaitForWindows(const Profile& profile, ProgressDialog& progress);
  // Asks whether to keep what was applied; true when it went back (or tried to) instead.
  bool RevertUnlessKept(const std::u16string& name);
  // Waits `ms` while the windows keep painting (input waits).
  void WaitPumping(unsigned ms);
  void StartAddressWatch();
  void StopAddressWatch();
  LiveState live_;
  bool applying_ = false;
  HANDLE addressWatch_ = nullptr;
  HANDLE stopWatch_ = nullptr;
  HWND statusBar_ = nullptr;
  HWND toolBar_ = nullptr;
  win::ImageList toolImages_;
  win::ImageList toolHotImages_;
  win::ImageList listImages_;
  UINT taskbarCreated_ = 0;
  // The tray and context menus, loaded once; the tray menu's and the options menu's entries as
  // their resources hold them, into which each build inserts the submenus.
  win::Menu trayMenu_;
  win::Menu contextMenu_;
  MenuLayout trayBase_;
  MenuLayout optionsBase_;
};

}  // namespace lumatrove
