// MainDialog: the application's main window. It owns the profile store and the adapter layer
// for the program's life, lists the profiles, applies one on double-click with a progress
// window, and lives in the notification area: closing or minimising only hides it. Its parts
// are split by concern over the main_dialog_*.cpp files (src/ui/README.md).
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
#include "ui/dialogs/dialog_context.h"
#include "ui/dialogs/progress_dialog.h"
#include "ui/main/address_watch.h"
#include "ui/main/apply_sequence.h"
#include "ui/main/main_bars.h"
#include "ui/main/main_window_ids.h"
#include "ui/model/auto_switch.h"
#include "ui/model/live_state.h"
#include "ui/model/main_window_model.h"
#include "ui/model/menu_layout.h"
#include "ui/model/startup.h"
#include "ui/win/dialog.h"
#include "ui/win/handles.h"
#include "ui/win/menu.h"
#include "ui/win/tray_icon.h"

namespace lumatrove {

// Posted by a key pressed in the profile list, to be handled once the list has moved its
// selection; wParam is the row selected before.
inline constexpr UINT kKeyboardSelectionMessage = WM_APP + 1;
// Posted by the update check's worker; lParam is the UpdateOutcome it found, now the window's.
inline constexpr UINT kUpdateCheckedMessage = WM_APP + 2;
// Posted by the address watch when Windows reports an address change.
inline constexpr UINT kAddressChangedMessage = WM_APP + 3;
// Posted to itself when another start handed over its command line, to act on it once the
// sender has its answer.
inline constexpr UINT kHandOffMessage = WM_APP + 4;
// Posted by the sighting worker; lParam is the NetworkSighting it read, now the window's.
inline constexpr UINT kNetworksSeenMessage = WM_APP + 5;
inline constexpr UINT_PTR kLiveRefreshTimer = 0x4C56;
// The profiles' keyboard shortcuts: RegisterHotKey ids from kHotkeyFirst, one per profile
// with a key, at most kHotkeyLimit.
inline constexpr int kHotkeyFirst = 0x4C00;
inline constexpr size_t kHotkeyLimit = 256;

// The help file beside the program.
inline constexpr std::u16string_view kHelpFile = u"Lumatrove使用手冊.chm";

class MainDialog : public win::Dialog {
 public:
  // `net` and `system` are the computer the window works on; they outlive it.
  MainDialog(HWND parent, NetSystem& net, StoreSystem& system);
  ~MainDialog() override;

  // Runs the window until File > Exit.
  INT_PTR Run() { return RunModal(parent_); }

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT& result) override;
  bool OnMessage(UINT message, WPARAM w, LPARAM l, INT_PTR& result) override;
  bool PreTranslateMessage(MSG& msg) override;
  void OnDestroy() override;

 private:
  // What a command saved: after a new, modified or backed-up profile and after a repair the
  // window says so in a message; after a removal, a copy or an import only the log does.
  enum class SavedChange { kNew, kModified, kBackup, kRemoved, kCopied, kRepaired, kImported };

  // main_dialog.cpp: the window, its messages, showing and hiding, the log and messages.
  void ShowMainWindow();
  // Appends to the action log when logging is on.
  void Append(std::u16string_view text);
  // A message box captioned "Lumatrove", over the main window.
  int Message(std::u16string_view text, UINT flags);
  void SetupProfileList();
  // Puts the list just below the toolbar.
  void PlaceProfileList();
  // A length laid out for 96 DPI, at the screen's DPI.
  int Px(int pixels) const { return ScaleToDpi(pixels, dpi_); }
  bool OnSysCommand(WPARAM command);
  void OnSetCursor(HWND over);

  // main_dialog_profiles.cpp: the list, its rows and keys, saving and the row commands' states.
  // Rebuilds the rows, profileIds and tooltips from store.profiles.
  void FillProfileList();
  // Saves the document and reopens the store; `change` decides the success message.
  bool SaveAndReload(SavedChange change);
  // Writes to the action log what opening the store repaired in the IDs, and why starting
  // with Windows could not be set up.
  void LogWhatOpenDid();
  // Enables or greys the commands that need a current row.
  void UpdateCommandStates();
  bool OnListNotify(NMHDR* header);
  // The keys of the profile list: Enter applies the current row, Delete removes it, F2 edits
  // it, the menu key and Shift+F10 open its context menu. True when `msg` was one of them.
  bool OnListKey(const MSG& msg);
  // A selection that the keyboard moved makes its row the current row.
  void FollowKeyboardSelection(int selectedBefore);
  bool OnToolTipText(NMHDR* header);
  // The row a command acts on, with its profile's ID and name.
  struct RowProfile {
    int row = -1;
    std::u16string id;
    std::u16string name;
  };
  RowProfile ProfileOfRow(int row) const;
  // The current row for a command that needs one; row -1, after saying so, when there is
  // none.
  RowProfile RowForCommand();

  // main_dialog_apply.cpp: applying from the window, and following what Windows uses.
  // Applies the profile of `row` through the apply sequence and reports the outcome.
  bool ApplyProfileAt(int row);
  // Applies the last undo snapshot.
  bool UndoLastApply();
  // Whether lumatrove.undo holds a snapshot that can be applied.
  bool UndoSnapshotExists();
  // Reads what Windows uses now; marks the live rows and writes the tray tooltip.
  void RefreshLiveState();
  // Another start's command line (WM_COPYDATA): 0 when it is none; 1 when it is one, kept for
  // kHandOffMessage; for the console program's quiet one, run at once, kQuietAnswer plus the
  // exit code.
  LRESULT TakeHandOff(const COPYDATASTRUCT* data);
  // A quiet hand-off's apply or undo, with no window and no message; its exit code.
  ExitCode ApplyQuietly(const HandOff& handOff);
  // Applies the handed-over profiles through the window's apply, or brings the window forward.
  void ActOnHandOffs();
  // Runs the apply sequence for the window, unless one runs already.
  // `quiet`: as a quiet hand-off asks (its result then in `quietResult`).
  bool ApplyAndFollow(const Profile& profile, std::u16string_view content,
                      const std::u16string& name, ApplySequence::Kind kind,
                      const HandOff* quiet = nullptr, ApplyRunResult* quietResult = nullptr);

  // main_dialog_commands.cpp: the routing of commands and the profile commands.
  // What the profile dialogs use of the window.
  DialogContext Context();
  // Saves and reloads after a profile command changed the document, and lists the result
  // without a current row.
  void ShowChangedProfiles(SavedChange change);
  void NewProfile();
  void ModifyProfile();
  void ShowProfileProperties();
  void RemoveProfile();
  void CopyProfile();
  // Enables or disables the adapter of the submenus' entry `index`.
  void SetAdapterEnabled(size_t index, bool enable);

  // main_dialog_tools.cpp: the tool commands and the log commands.
  void ShowHelp();
  void CreateShortcut();
  void EditSettings();
  void RepairProfiles();
  void ImportProfiles();
  // Opens system.log in Notepad; empties it after asking.
  void ViewLog();
  void ClearLog();

  // main_dialog_tray.cpp: the menus that follow the adapters and profiles, and the tray icon.
  // Fills the tray menu's and the options menu's submenus with the adapters and the rows.
  void BuildDynamicMenus();
  // main_dialog_hotkeys.cpp: registers the profiles' keys anew (after every load); a key that
  // another program holds is said once and stays stored.
  void RegisterHotkeys();
  // WM_HOTKEY: applies the key's profile as the tray menu does.
  void OnHotkey(int id);
  void OnTrayCallback(LPARAM mouse);
  // The list's context menu: at the cursor, or from the keyboard at the current row.
  void ShowContextMenu(bool fromKeyboard = false);
  // Shows `popup` at `place` (screen coordinates; the cursor when none); its choice arrives
  // as a command.
  void ShowPopupMenu(const win::Menu& popup, const POINT* place = nullptr);

  // main_dialog_auto_switch.cpp: switching to a profile when its network appears.
  // Has what the adapters see read off the window's thread, when a profile switches by itself.
  void LookAtNetworks();
  // The sighting's outcome: a profile applied quietly, or the matching profiles named, in a
  // balloon.
  void OnNetworksSeen(LPARAM sighting);
  // "暫停自動切換" of the tray menu: pauses or resumes, and stores it with the settings.
  void ToggleAutoSwitchPause();
  AutoSwitchState AutoSwitchMenuState() const;

  // main_dialog_update.cpp: what the window does with the update check's outcome.
  void StartUpdateCheck();
  void OnUpdateChecked(LPARAM outcome);

  NetSystem& net_;
  StoreSystem& system_;
  HWND parent_;
  int dpi_ = 96;

  NetAdapterLayer netAdapters;
  ProfileStore store;
  std::u16string workDir;
  ProfileListCtrl profileList;
  // What the rows show and the profile each stands for, both as of the last FillProfileList.
  ProfileRows profileRows;
  std::vector<std::u16string> profileIds;
  bool shownByUser = true;
  win::TrayIcon trayIcon;

  LiveState live_;
  bool applying_ = false;
  std::vector<HandOff> handOffs_;                // taken, not yet acted on
  std::vector<std::u16string> hotkeyProfiles_;   // by hotkey id - kHotkeyFirst: the profile ID
  std::vector<std::u16string> heldHotkeysSaid_;  // "<profile ID> <key>" already reported
  AddressWatch addressWatch_;
  AutoSwitchGuard autoSwitch_;
  bool sighting_ = false;    // the sighting worker runs
  bool sightAgain_ = false;  // and another change came meanwhile
  MainToolBar toolBar_;
  MainStatusBar statusBar_;
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
