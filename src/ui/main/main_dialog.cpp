// The main window: creation, initialisation, the notification-area icon, the toolbar and
// the status bar, hiding and showing, and the messages it handles itself.
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

namespace {

constexpr UINT kToolBarId = 0xE800;

// The toolbar's buttons: command, image, image under the mouse, text.
struct ToolButton {
  int command;
  UINT image;
  UINT hotImage;
  std::u16string_view text;  // a literal: the toolbar reads it up to its NUL
};
constexpr ToolButton kToolButtons[] = {
    {ID_PROFILE_APPLY, IDB_APPLY, IDB_APPLY_HOT, texts::kToolApply},
    {ID_PROFILE_PROPERTIES, IDB_VIEW, IDB_VIEW_HOT, texts::kToolView},
    {ID_PROFILE_NEW, IDB_ADD, IDB_ADD_HOT, texts::kToolAdd},
    {ID_PROFILE_MODIFY, IDB_MODIFY, IDB_MODIFY_HOT, texts::kToolModify},
    {ID_PROFILE_REMOVE, IDB_REMOVE, IDB_REMOVE_HOT, texts::kToolRemove},
    {ID_DONATE, IDB_DONATE, IDB_DONATE_HOT, texts::kToolDonate},
    {ID_APP_ABOUT, IDB_ABOUT, IDB_ABOUT_HOT, texts::kToolAbout},
    {ID_HELP_CONTENTS, IDB_HELP, IDB_HELP_HOT, texts::kToolHelp},
};

// The toolbar's layout resource: version, image width, height, count, then the commands.
std::vector<int> ToolBarLayout() {
  std::vector<int> ids;
  HINSTANCE module = GetModuleHandleW(nullptr);
  HRSRC found =
      FindResourceW(module, MAKEINTRESOURCEW(IDR_TOOLBAR), MAKEINTRESOURCEW(RT_TOOLBAR_LAYOUT));
  if (found == nullptr) return ids;
  HGLOBAL loaded = LoadResource(module, found);
  const auto* words = static_cast<const WORD*>(LockResource(loaded));
  const DWORD bytes = SizeofResource(module, found);
  if (words == nullptr || bytes < 8) return ids;
  const size_t count = words[3];
  for (size_t i = 0; i < count && 8 + 2 * i + 2 <= bytes; ++i)
    ids.push_back(words[4 + i]);
  return ids;
}

}  // namespace

MainDialog::MainDialog(HWND parent, NetSystem& net, StoreSystem& system)
    : Dialog(IDD_MAIN),
      netAdapters(net),
      store(system),
      net_(net),
      system_(system),
      parent_(parent) {}

MainDialog::~MainDialog() = default;

int MainDialog::Message(std::u16string_view text, UINT flags, HWND owner) {
  const std::u16string t(text);
  return MessageBoxW(owner != nullptr ? owner : Handle(), W(t), W(std::u16string(texts::kCaption)),
                     flags);
}

void MainDialog::CreateToolBar() {
  HINSTANCE module = GetModuleHandleW(nullptr);
  toolBar_ = CreateWindowExW(
      0, TOOLBARCLASSNAMEW, nullptr,
      WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0, 0, 0, 0,
      Handle(), reinterpret_cast<HMENU>(kToolBarId), module, nullptr);
  if (toolBar_ == nullptr) return;
  SendMessageW(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

  // The buttons' images, in the order of the table; white is transparent.
  toolImages_.Reset(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 5, 0));
  toolHotImages_.Reset(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 5, 0));
  for (const ToolButton& b : kToolButtons) {
    ImageList_AddMasked(toolImages_.Get(), win::LoadBitmapResource(b.image).Get(),
                        RGB(255, 255, 255));
    ImageList_AddMasked(toolHotImages_.Get(), win::LoadBitmapResource(b.hotImage).Get(),
                        RGB(255, 255, 255));
  }
  SendMessageW(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolImages_.Get()));
  SendMessageW(toolBar_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(toolHotImages_.Get()));

  // The slots as the toolbar resource lays them out; each command's image and text from the
  // table, separators where the resource has none.
  std::vector<TBBUTTON> buttons;
  for (int id : ToolBarLayout()) {
    TBBUTTON b{};
    const auto found = std::find_if(std::begin(kToolButtons), std::end(kToolButtons),
                                    [id](const ToolButton& t) { return t.command == id; });
    if (found == std::end(kToolButtons)) {
      b.fsStyle = BTNS_SEP;
    } else {
      b.iBitmap = static_cast<int>(found - std::begin(kToolButtons));
      b.idCommand = id;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
      b.iString = reinterpret_cast<INT_PTR>(found->text.data());
    }
    buttons.push_back(b);
  }
  SendMessageW(toolBar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(toolBar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(32, 40));
  SendMessageW(toolBar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(52, 62));
  SendMessageW(toolBar_, TB_SETINDENT, 4, 0);
  SendMessageW(toolBar_, TB_AUTOSIZE, 0, 0);
  ShowWindow(toolBar_, SW_SHOW);
}

void MainDialog::CreateStatusBar() {
  statusBar_ =
      CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, Handle(),
                      reinterpret_cast<HMENU>(IDC_STATUSBAR), GetModuleHandleW(nullptr), nullptr);
  if (statusBar_ == nullptr) return;
  RECT r{};
  GetClientRect(statusBar_, &r);
  const std::array<int, 3> parts = StatusBarParts(r.right - r.left);
  SendMessageW(statusBar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts.data()));
  SetPrompt(std::u16string(texts::kDefaultPrompt));
}

void MainDialog::SetPrompt(const std::u16string& text) {
  if (statusBar_ == nullptr) return;
  SendMessageW(statusBar_, SB_SETTEXTW, 0 | SBT_POPOUT, reinterpret_cast<LPARAM>(W(text)));
}

void MainDialog::SetupProfileList() {
  profileList.TakeOver(Item(IDC_PROFILE_LIST));
  profileList.SetRows(&profileRows);
  struct Column {
    std::u16string_view heading;  // a literal, read up to its NUL
    int width;
    int format;
  };
  const Column columns[] = {{u"", 37, LVCFMT_LEFT | LVCFMT_IMAGE},
                            {texts::kColumnNumber, 40, LVCFMT_LEFT},
                            {texts::kColumnName, 225, LVCFMT_LEFT},
                            {texts::kColumnCreated, 120, LVCFMT_LEFT}};
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
  listImages_.Reset(ImageList_Create(32, 32, ILC_COLORDDB | ILC_MASK, 2, 2));
  ImageList_AddIcon(listImages_.Get(), win::LoadIconResource(IDI_ROW, 32, 32).Get());
  ImageList_AddIcon(listImages_.Get(), win::LoadIconResource(IDI_ROW_LIVE, 32, 32).Get());
  profileList.Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(listImages_.Get()));

  profileList.SetFullRowSelect(true);
  profileList.EnableToolTips();
  profileList.SetToolTipHitMask(LVHT_ONITEMLABEL);
}

bool MainDialog::OnInit() {
  // The running instance is found by this property (a second start brings it forward).
  SetPropW(Handle(), kInstanceMarker, reinterpret_cast<HANDLE>(1));
  trayIcon.Add(Handle(), kTrayIconId, kTrayCallback, IDI_APP, std::u16string(texts::kTrayTip));
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  CreateToolBar();

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
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string folder = U(path);
  const size_t slash = folder.find_last_of(u'\\');
  if (slash != std::u16string::npos) folder.resize(slash);
  SetCurrentDirectoryW(W(folder));
  wchar_t current[1024] = {};
  GetCurrentDirectoryW(1024, current);
  workDir = U(current);

  // The profiles and the adapters; either failing is said once, and the window opens anyway.
  if (store.Open() == 0) Message(OpenFailedMessage(store.keptCopy), MB_OK);
  LogIdRepairs();
  if (netAdapters.DiscoverAdapters() == 0) Message(texts::kAdaptersFailed, MB_OK);

  SetupProfileList();
  FillProfileList();
  CreateStatusBar();
  // No row is current yet: the commands that need one start disabled.
  UpdateCommandStates();
  BuildDynamicMenus();

  RefreshLiveState();
  StartAddressWatch();
  if (store.autoUpdate != 0) StartUpdateCheck();

  // "-hide" starts in the notification area only.
  shownByUser = HasHideSwitch(ArgumentsOf(U(GetCommandLineW()))) ? 0 : 1;
  return true;
}

void MainDialog::ShowMainWindow() {
  ShowWindow(Handle(), SW_SHOWNORMAL);
  SetForegroundWindow(Handle());
  SetForegroundWindow(GetLastActivePopup(Handle()));
  shownByUser = 1;
}

void MainDialog::Append(std::u16string_view text) {
  if (store.logEnabled == 0) return;
  ActionLog(FilePath(kActionLogFile), net_.codePage()).Append(text, system_.Now());
}

bool MainDialog::PreTranslateMessage(MSG& msg) {
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
  SetPrompt(ControlPrompt(id, id > 0 ? LoadString(static_cast<UINT>(id)) : std::u16string()));
}

bool MainDialog::OnMessage(UINT message, WPARAM w, LPARAM l, INT_PTR& result) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    // Explorer restarted: the notification area is new and needs the icon again.
    trayIcon.AddAgain();
    return false;
  }
  switch (message) {
    case WM_PAINT:
      if (shownByUser == 0) {
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
      if (!applying_) RefreshLiveState();
      return true;
    case kKeyboardSelectionMessage:
      FollowKeyboardSelection(static_cast<int>(w));
      return true;
    case WM_MENUSELECT:
      if (LOWORD(w) != 0 && (HIWORD(w) & MF_POPUP) == 0) {
        SetPrompt(PromptPart(LoadString(LOWORD(w))));
      }
      return false;
    case WM_SETCURSOR:
      OnSetCursor(reinterpret_cast<HWND>(w));
      return false;
    case WM_MEASUREITEM: {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      if (m->CtlType == ODT_LISTVIEW) {
        m->itemHeight = 36;
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
  StopAddressWatch();
  trayIcon.Remove();
  RemovePropW(Handle(), kInstanceMarker);
  profileList.DeleteAllItems();
  profileIds.clear();
  profileRows.Clear();
}

}  // namespace lumatrove
