// The main window: creation, initialisation, the notification-area icon, hiding and showing,
// the action log and message boxes, and the messages it handles itself.
#include "ui/main/main_dialog.h"

#include <algorithm>
#include <iterator>

#include "texts.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/model/action_log.h"
#include "ui/model/command_line.h"
#include "ui/model/main_window_model.h"
#include "ui/res/resource.h"

namespace lumatrove {

using win::LoadString;
using win::U;
using win::W;

MainDialog::MainDialog(HWND parent, NetSystem& net, StoreSystem& system)
    : Dialog(IDD_MAIN),
      net_(net),
      system_(system),
      parent_(parent),
      // Read before the window exists: the list asks for its row height while it is created.
      dpi_(win::SystemDpi()),
      netAdapters(net),
      store(system) {}

MainDialog::~MainDialog() = default;

int MainDialog::Message(std::u16string_view text, UINT flags) {
  return ShowMessage(Handle(), text, flags);
}

void MainDialog::SetupProfileList() {
  profileList.TakeOver(Item(IDC_PROFILE_LIST));
  profileList.SetRows(&profileRows);
  struct Column {
    std::u16string_view heading;  // a literal, read up to its NUL
    int width;
    int format;
  };
  // The columns leave room for a vertical scroll bar, so that no horizontal one is needed.
  const RECT client = profileList.ClientRect();
  const std::array<int, 4> widths =
      ProfileColumnWidths(dpi_, client.right - client.left - GetSystemMetrics(SM_CXVSCROLL));
  const Column columns[] = {{u"", widths[0], LVCFMT_LEFT | LVCFMT_IMAGE},
                            {texts::kColumnNumber, widths[1], LVCFMT_LEFT},
                            {texts::kColumnName, widths[2], LVCFMT_LEFT},
                            {texts::kColumnCreated, widths[3], LVCFMT_LEFT}};
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    c.pszText = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(columns[i].heading.data()));
    c.cx = columns[i].width;
    c.fmt = columns[i].format;
    c.iSubItem = i;
    profileList.Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
  }
  const LRESULT styles = profileList.Send(LVM_GETEXTENDEDLISTVIEWSTYLE);
  profileList.Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   styles | LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT);
  profileList.Send(LVM_SETHOVERTIME, 0, 1);
  // The row icons come at the size of theirs nearest to the scaled one. Their 48-pixel
  // images are PNG, which Windows XP cannot read: there they stay at 32.
  int icon = NearestIconSize(Px(32), {16, 32, 48});
  win::Icon row = win::LoadIconResource(IDI_ROW, icon, icon);
  win::Icon live = win::LoadIconResource(IDI_ROW_LIVE, icon, icon);
  if (!row || !live) {
    icon = 32;
    row = win::LoadIconResource(IDI_ROW, icon, icon);
    live = win::LoadIconResource(IDI_ROW_LIVE, icon, icon);
  }
  listImages_.Reset(ImageList_Create(icon, icon, ILC_COLORDDB | ILC_MASK, 2, 2));
  ImageList_AddIcon(listImages_.Get(), row.Get());
  ImageList_AddIcon(listImages_.Get(), live.Get());
  profileList.Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(listImages_.Get()));

  profileList.SetFullRowSelect(true);
  profileList.EnableToolTips();
  profileList.SetToolTipHitMask(LVHT_ONITEMLABEL);
}

void MainDialog::PlaceProfileList() {
  // The template places the list in dialog units, which follow the font; the toolbar above
  // it is laid out in pixels. The list starts just below the toolbar at every DPI.
  if (!toolBar_) return;
  RECT bar = toolBar_.WindowRect();
  RECT list = profileList.WindowRect();
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&bar), 2);
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&list), 2);
  const int top = bar.bottom + Px(8);
  if (top >= list.bottom) return;
  profileList.Move(list.left, top, list.right - list.left, list.bottom - top);
}

bool MainDialog::OnInit() {
  // The running instance is found by this property; a second start hands it its command line
  // through WM_COPYDATA, also from a process that is not elevated.
  SetPropW(Handle(), kInstanceMarker, reinterpret_cast<HANDLE>(1));
  win::AllowMessageFromLowerIntegrity(Handle(), WM_COPYDATA);
  trayIcon.Add(Handle(), kTrayIconId, kTrayCallback, IDI_APP, std::u16string(texts::kTrayTip));
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  toolBar_.Create(Handle(), dpi_);

  // The window's icons, and the About entry of its system menu.
  SetIcons(IDI_APP);
  const std::u16string about = LoadString(IDS_ABOUTBOX);
  if (const win::Menu system = win::Menu::Borrow(GetSystemMenu(Handle(), FALSE));
      system && !about.empty()) {
    system.AppendSeparator();
    system.AppendItem(IDM_ABOUTBOX, about);
  }

  // The program folder becomes the current directory: the log, the settings copy and the
  // help file are opened by relative name.
  SetCurrentDirectoryW(W(store.ProgramPath().Folder().Text()));
  wchar_t current[1024] = {};
  GetCurrentDirectoryW(1024, current);
  workDir = U(current);

  // The profiles and the adapters; either failing is said once, and the window opens anyway.
  if (store.Open() == 0) Message(OpenFailedMessage(store.keptCopy), MB_OK);
  LogWhatOpenDid();
  if (netAdapters.DiscoverAdapters() == 0) Message(texts::kAdaptersFailed, MB_OK);

  SetupProfileList();
  PlaceProfileList();
  FillProfileList();
  statusBar_.Create(Handle());
  // No row is current yet: the commands that need one start disabled.
  UpdateCommandStates();
  BuildDynamicMenus();

  RefreshLiveState();
  addressWatch_.Start(Handle(), kAddressChangedMessage);
  // The network the computer is on at start is one that appears.
  LookAtNetworks();
  if (store.autoUpdate) StartUpdateCheck();

  // "-hide" starts in the notification area only.
  shownByUser = !HasHideSwitch(ArgumentsOf(U(GetCommandLineW())));
  return true;
}

void MainDialog::ShowMainWindow() {
  ShowWindow(Handle(), SW_SHOWNORMAL);
  SetForegroundWindow(Handle());
  SetForegroundWindow(GetLastActivePopup(Handle()));
  shownByUser = true;
}

void MainDialog::Append(std::u16string_view text) {
  if (!store.logEnabled) return;
  ActionLog(FilePath(kActionLogFile), net_.codePage()).Append(text, system_.Now());
}

bool MainDialog::PreTranslateMessage(MSG& msg) {
  if (msg.hwnd == profileList.Handle() && OnListKey(msg)) return true;
  // Escape and Return never end the main window.
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST &&
      (msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN)) {
    return true;
  }
  return false;
}

bool MainDialog::OnSysCommand(WPARAM command) {
  if ((command & 0xFFF0) == IDM_ABOUTBOX) {
    ShowAboutDialog(Handle());
    return true;
  }
  if (command == SC_MINIMIZE || command == SC_CLOSE) {
    ShowWindow(Handle(), SW_HIDE);
    return true;
  }
  return false;
}

void MainDialog::OnSetCursor(HWND over) {
  if (over == nullptr || over == Handle()) return;
  HWND window = over;
  HWND owner = GetWindow(over, GW_OWNER);
  if (owner == nullptr) owner = GetParent(over);
  wchar_t className[32] = {};
  if (owner != nullptr && GetClassNameW(owner, className, 32) > 0 &&
      lstrcmpiW(className, L"ComboBox") == 0) {
    window = owner;
  }
  const int id = GetDlgCtrlID(window);
  statusBar_.SetPrompt(
      ControlPrompt(id, id > 0 ? LoadString(static_cast<UINT>(id)) : std::u16string()));
}

bool MainDialog::OnMessage(UINT message, WPARAM w, LPARAM l, INT_PTR& result) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    // Explorer restarted: the notification area is new and needs the icon again.
    trayIcon.AddAgain();
    return false;
  }
  switch (message) {
    case WM_PAINT:
      if (!shownByUser) {
        ValidateRect(Handle(), nullptr);
        ShowWindow(Handle(), SW_HIDE);
        result = TRUE;
        return true;
      }
      return false;
    case WM_SYSCOMMAND:
      if (OnSysCommand(w)) {
        result = TRUE;
        return true;
      }
      return false;
    case kTrayCallback:
      if (!applying_) OnTrayCallback(l);
      return false;
    case kUpdateCheckedMessage:
      OnUpdateChecked(l);
      return true;
    case kAddressChangedMessage:
      // Windows reports a change in bursts: the state is read once they have passed.
      SetTimer(Handle(), kLiveRefreshTimer, 300, nullptr);
      return true;
    case WM_TIMER:
      if (w != kLiveRefreshTimer) return false;
      KillTimer(Handle(), kLiveRefreshTimer);
      if (!applying_) {
        RefreshLiveState();
        LookAtNetworks();
      }
      return true;
    case kNetworksSeenMessage:
      OnNetworksSeen(l);
      return true;
    case WM_HOTKEY:
      OnHotkey(static_cast<int>(w));
      return true;
    case WM_COPYDATA:
      // A dialog answers through DWLP_MSGRESULT, set once the hand-off was dealt with (a
      // quiet one's apply runs dialogs' messages meanwhile).
      SetWindowLongPtrW(Handle(), DWLP_MSGRESULT,
                        TakeHandOff(reinterpret_cast<const COPYDATASTRUCT*>(l)));
      result = TRUE;
      return true;
    case kHandOffMessage:
      ActOnHandOffs();
      return true;
    case kKeyboardSelectionMessage:
      FollowKeyboardSelection(static_cast<int>(w));
      return true;
    case WM_MENUSELECT:
      if (HIWORD(w) == 0xFFFF && l == 0) {
        statusBar_.SetPrompt(std::u16string(texts::kDefaultPrompt));  // the menu closed
      } else if (LOWORD(w) != 0 && (HIWORD(w) & MF_POPUP) == 0) {
        statusBar_.SetPrompt(PromptPart(LoadString(LOWORD(w))));
      }
      return false;
    case WM_EXITMENULOOP:
      // A menu's hint stays only while the menu is open.
      statusBar_.SetPrompt(std::u16string(texts::kDefaultPrompt));
      return false;
    case WM_SETCURSOR:
      OnSetCursor(reinterpret_cast<HWND>(w));
      return false;
    case WM_MEASUREITEM: {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      if (m->CtlType == ODT_LISTVIEW) {
        m->itemHeight = static_cast<UINT>(Px(36));
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_DRAWITEM: {
      const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      if (d->CtlID == IDC_PROFILE_LIST) {
        profileList.DrawItem(*d);
        result = TRUE;
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

void MainDialog::OnDestroy() {
  for (size_t i = 0; i < hotkeyProfiles_.size(); ++i)
    UnregisterHotKey(Handle(), kHotkeyFirst + static_cast<int>(i));
  addressWatch_.Stop();
  trayIcon.Remove();
  RemovePropW(Handle(), kInstanceMarker);
  profileList.DeleteAllItems();
  profileRows.Clear();
}

}  // namespace lumatrove
