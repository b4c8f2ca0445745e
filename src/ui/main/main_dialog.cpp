// The main window: creation, initialisation, the notification-area icon, the toolbar and
// the status bar, hiding and showing, and the messages it handles itself.
#include "ui/main/main_dialog.h"

#include <cstddef>

#include "netcfg/win32_net_system.h"
#include "store/win32_store_system.h"
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

MainDialog::MainDialog(HWND parent)
    : Dialog(IDD_MAIN),
      netSystem(MakeWin32NetSystem()),
      storeSystem(MakeWin32StoreSystem(*netSystem)),
      netAdapters(*netSystem),
      store(*storeSystem),
      parent_(parent) {}

MainDialog::~MainDialog() {
  if (toolImages_ != nullptr) ImageList_Destroy(toolImages_);
  if (toolHotImages_ != nullptr) ImageList_Destroy(toolHotImages_);
  if (listImages_ != nullptr) ImageList_Destroy(listImages_);
  if (icon_ != nullptr) DestroyIcon(icon_);
  if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
}

int MainDialog::Message(std::u16string_view text, UINT flags) {
  const std::u16string t(text);
  return MessageBoxW(Handle(), W(t), W(std::u16string(kMessageCaption)), flags);
}

void MainDialog::AddTrayIcon() {
  trayIconData = NOTIFYICONDATAW{};
  // The size of the structure with balloon fields (before guidItem): XP and later take it.
  trayIconData.cbSize = offsetof(NOTIFYICONDATAW, guidItem);
  trayIconData.hWnd = Handle();
  trayIconData.uID = kTrayIconId;
  trayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  trayIconData.uCallbackMessage = kTrayCallback;
  HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP),
                                             IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  trayIconData.hIcon = icon;
  lstrcpynW(trayIconData.szTip, L"Torvane\xFF08Lumatrove\xFF09", 128);
  Shell_NotifyIconW(NIM_ADD, &trayIconData);
  if (icon != nullptr) DestroyIcon(icon);
  trayIconData.hIcon = nullptr;
}

void MainDialog::CreateToolBar() {
  HINSTANCE module = GetModuleHandleW(nullptr);
  toolBar_ = CreateWindowExW(
      0, TOOLBARCLASSNAMEW, nullptr,
      WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0, 0, 0, 0,
      Handle(), reinterpret_cast<HMENU>(kToolBarId), module, nullptr);
  if (toolBar_ == nullptr) return;
  SendMessageW(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

  toolImages_ = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 5, 0);
  toolHotImages_ = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 5, 0);
  const int normal[] = {IDB_APPLY,  IDB_VIEW,   IDB_ADD,   IDB_MODIFY,
                        IDB_REMOVE, IDB_DONATE, IDB_ABOUT, IDB_HELP};
  const int hot[] = {IDB_APPLY_HOT,  IDB_VIEW_HOT,   IDB_ADD_HOT,   IDB_MODIFY_HOT,
                     IDB_REMOVE_HOT, IDB_DONATE_HOT, IDB_ABOUT_HOT, IDB_HELP_HOT};
  for (int i = 0; i < 8; ++i) {
    for (auto [list, id] : {std::pair{toolImages_, normal[i]}, std::pair{toolHotImages_, hot[i]}}) {
      HBITMAP bitmap = static_cast<HBITMAP>(
          LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
      ImageList_AddMasked(list, bitmap, RGB(255, 255, 255));
      if (bitmap != nullptr) DeleteObject(bitmap);
    }
  }
  SendMessageW(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolImages_));
  SendMessageW(toolBar_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(toolHotImages_));

  static const wchar_t* const kTexts[] = {L"啟用", L"檢視...", L"加入", L"修改",
                                          L"移除", L"捐助",    L"關於", L"幫助"};
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (int id : ToolBarLayout()) {
    TBBUTTON b{};
    if (id == 0) {
      b.fsStyle = BTNS_SEP;
    } else {
      b.iBitmap = image;
      b.idCommand = id;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
      b.iString = reinterpret_cast<INT_PTR>(kTexts[image < 8 ? image : 7]);
      ++image;
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
  SetPrompt(std::u16string(kDefaultPrompt));
}

void MainDialog::SetPrompt(const std::u16string& text) {
  if (statusBar_ == nullptr) return;
  SendMessageW(statusBar_, SB_SETTEXTW, 0 | SBT_POPOUT, reinterpret_cast<LPARAM>(W(text)));
}

void MainDialog::SetupProfileList() {
  profileList.TakeOver(Item(IDC_PROFILE_LIST));
  profileList.SetRows(&profileRows);
  struct Column {
    const wchar_t* heading;
    int width;
    int format;
  };
  const Column columns[] = {{L"", 37, LVCFMT_LEFT | LVCFMT_IMAGE},
                            {L"NO.", 40, LVCFMT_LEFT},
                            {L"名稱", 225, LVCFMT_LEFT},
                            {L"建立時間", 120, LVCFMT_LEFT}};
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    c.pszText = const_cast<wchar_t*>(columns[i].heading);
    c.cx = columns[i].width;
    c.fmt = columns[i].format;
    c.iSubItem = i;
    profileList.Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
  }
  const LRESULT styles = profileList.Send(LVM_GETEXTENDEDLISTVIEWSTYLE);
  profileList.Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   styles | LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT);
  profileList.Send(LVM_SETHOVERTIME, 0, 1);
  listImages_ = ImageList_Create(32, 32, ILC_COLORDDB | ILC_MASK, 2, 2);
  HICON row = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ROW),
                                            IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  ImageList_AddIcon(listImages_, row);
  if (row != nullptr) DestroyIcon(row);
  profileList.Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(listImages_));

  profileList.SetFullRowSelect(true);
  profileList.EnableToolTips();
  profileList.SetToolTipHitMask(LVHT_ONITEMLABEL);
}

bool MainDialog::OnInit() {
  // What the window does as it is created.
  SetPropW(Handle(), kInstanceMarker, reinterpret_cast<HANDLE>(1));
  AddTrayIcon();
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  CreateToolBar();

  // 1-3: the list control, the icons and the system-menu entry.
  HINSTANCE module = GetModuleHandleW(nullptr);
  icon_ = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                        GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                        LR_DEFAULTCOLOR));
  smallIcon_ = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  const std::u16string about = LoadString(IDS_ABOUTBOX);
  if (!about.empty()) {
    if (HMENU system = GetSystemMenu(Handle(), FALSE)) {
      AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(system, MF_STRING, IDM_ABOUTBOX, W(about));
    }
  }
  Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

  // 4-5: the program folder becomes the current directory.
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string folder = U(path);
  const size_t slash = folder.find_last_of(u'\\');
  if (slash != std::u16string::npos) folder.resize(slash);
  SetCurrentDirectoryW(W(folder));
  wchar_t current[1024] = {};
  GetCurrentDirectoryW(1024, current);
  workDir = U(current);

  // 6-7: the store and the adapters.
  if (store.Open() == 0) Message(OpenFailedMessage(store.keptCopy), MB_OK);
  LogIdRepairs();
  if (netAdapters.DiscoverAdapters() == 0) Message(u"載入網卡訊息有誤！", MB_OK);

  // 8-11: the list, its rows, the status bar.
  SetupProfileList();
  FillProfileList();
  CreateStatusBar();

  // 12-13: the menus of the adapters and profiles come with the tray menu; the commands
  // that need a row start disabled.
  UpdateCommandStates();

  // 15: "-hide" starts in the notification area only.
  const wchar_t* line = GetCommandLineW();
  const std::u16string full = U(line);
  shownByUser = HasHideSwitch(ArgumentsOf(full)) ? 0 : 1;
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
  ActionLog(ToPath(kActionLogFile), netSystem->codePage()).Append(text, storeSystem->Now());
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
  if (command == SC_MINIMIZE || command == SC_CLOSE) {
    ShowWindow(Handle(), SW_HIDE);
    return true;
  }
  return false;
}

void MainDialog::OnTrayCallback(LPARAM mouse) {
  if (mouse == WM_LBUTTONDBLCLK) ShowMainWindow();
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
    AddTrayIcon();
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
      OnTrayCallback(l);
      return false;
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
  Shell_NotifyIconW(NIM_DELETE, &trayIconData);
  RemovePropW(Handle(), kInstanceMarker);
  profileList.DeleteAllItems();
  profileIds.clear();
  profileRows.Clear();
}

}  // namespace lumatrove
