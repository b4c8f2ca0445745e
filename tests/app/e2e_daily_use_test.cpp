// What a day of use met, end to end: a file of something else in place of the configuration, the
// list driven from the keyboard, a very long profile name, and the main window at 150 % scaling.
#include "e2e_fixture.h"

namespace lumatrove::e2e {
namespace {

constexpr UINT kList = IDC_PROFILE_LIST;

void PressKey(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

// The screen's DPI for the programs started meanwhile (Wine reads it when a program starts).
class ScopedDpi {
 public:
  explicit ScopedDpi(DWORD dpi) { Set(dpi); }
  ~ScopedDpi() { Set(96); }

 private:
  static void Set(DWORD dpi) {
    const std::pair<HKEY, const wchar_t*> places[] = {
        {HKEY_CURRENT_USER, L"Control Panel\\Desktop"}, {HKEY_CURRENT_CONFIG, L"Software\\Fonts"}};
    for (const auto& [root, path] : places) {
      HKEY h = nullptr;
      if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
          ERROR_SUCCESS) {
        continue;
      }
      RegSetValueExW(h, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                     sizeof dpi);
      RegCloseKey(h);
    }
  }
};

// A well-formed file of something else is kept aside like a damaged one, and what is saved
// afterwards is there at the next start.
TEST_F(Program, ForeignFileIsKeptAsideAndSavesReachTheDisk) {
  const std::string foreign = "<?xml version=\"1.0\"?><HELLO/>";
  WriteConfig(foreign);
  DWORD pid = Start();
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "開啟組態系統組態檔案錯誤！\n原檔案已另存為 lumatrove.cfg.bad");
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg.bad"), foreign);
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, ID_VIEW_CURRENT, 0);
  HWND view = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (view = DialogOf(pid, u"電腦現用的IP配置內容")) != nullptr; }));
  SendMessageW(GetDlgItem(view, IDC_CURRENT_NAME), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"新的"));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(view, IDOK)) != FALSE; }));
  PostMessageW(GetDlgItem(view, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "儲存成功!");
  PostMessageW(main, WM_COMMAND, ID_APP_EXIT, 0);
  ASSERT_TRUE(Ended(pid));

  pid = Start();
  main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(test::MessageBoxOf(pid), nullptr);
  test::RemoteList rows(GetDlgItem(main, kList), pid);
  ASSERT_EQ(rows.Rows(), 1);
  EXPECT_EQ(U8(rows.Text(0, 2)), "新的");
}

// Enter applies the row, F2 edits it, Delete removes it after asking, the menu key opens its
// context menu.
TEST_F(Program, ListKeysActOnTheCurrentRow) {
  WriteConfig(ConfigOf("3", ThreeProfiles("3"), false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  HWND list = GetDlgItem(main, kList);
  ClickRow(main, pid, 1);
  std::u16string text;
  PressKey(list, VK_RETURN);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用網路組態[second]成功!");

  PressKey(list, VK_F2);
  HWND editor = WaitDialog(pid, u"IP專案設定");
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(U8(ItemText(editor, IDC_PROFILE_NAME)), "second");
  Press(editor, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor); }));

  PressKey(list, VK_APPS);
  ASSERT_TRUE(WaitFor([&] { return test::VisibleMenuOf(pid) != nullptr; }));
  PostMessageW(main, WM_CANCELMODE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return test::VisibleMenuOf(pid) == nullptr; }));

  PressKey(list, VK_DELETE);
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDNO, text));
  EXPECT_EQ(U8(text), "確認要移除組態[second]嗎？");
  EXPECT_EQ(RowCount(main), 3);
  PressKey(list, VK_DELETE);
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDYES, text));
  ASSERT_TRUE(WaitFor([&] { return RowCount(main) == 2; }));
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg").find("NAME=\"second\""), std::string::npos);
}

// A 500-character name is cut in the tray's profile submenu and in messages, and kept whole
// in the file.
TEST_F(Program, LongNameFitsTheMenuAndTheMessage) {
  std::string name;
  for (int i = 0; i < 500; ++i)
    name += "名";
  WriteConfig(ConfigOf("3", FixedProfile(name, "3", "10.0.5.3"), false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);

  // The tray menu, then its profile submenu (the fifth entry that is not a separator) from
  // the keyboard.
  PostMessageW(main, kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (menu = test::VisibleMenuOf(pid)) != nullptr; }));
  for (int i = 0; i < 5; ++i)
    PressKey(main, VK_DOWN);
  PressKey(main, VK_RIGHT);
  HWND submenu = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    for (HWND h : test::TopLevelWindows(pid)) {
      wchar_t cls[16] = {};
      GetClassNameW(h, cls, 16);
      if (h != menu && lstrcmpW(cls, L"#32768") == 0 && IsWindowVisible(h)) submenu = h;
    }
    return submenu != nullptr;
  }));
  RECT r{};
  GetWindowRect(submenu, &r);
  // Forty characters and the margins, where the whole name made it 3,091 pixels wide.
  EXPECT_LT(r.right - r.left, 600) << "the submenu is " << r.right - r.left << " pixels wide";
  PostMessageW(main, WM_CANCELMODE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return test::VisibleMenuOf(pid) == nullptr; }));

  PostMessageW(main, WM_COMMAND, ID_APPLY_FIRST, 0);
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = test::MessageBoxOf(pid)) != nullptr; }));
  GetWindowRect(box, &r);
  EXPECT_LE(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用網路組態[" + name.substr(0, 40 * 3) + "…]成功!");
  EXPECT_NE(Read(folder_ / "lumatrove.cfg").find("NAME=\"" + name + "\""), std::string::npos);

  // A shortcut with that name cannot be written: that is said, not passed over.
  ClickRow(main, pid, 0);
  PostMessageW(main, WM_COMMAND, ID_SHORTCUT, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "建立捷徑失敗！");
}

// At 144 DPI the list's columns, rows and icons are half as large again, and the list starts
// right below the toolbar.
TEST_F(Program, MainWindowIsLaidOutForTheScreensDpi) {
  WriteConfig(DemoConfig(false));
  struct Layout {
    int columns[4];
    int rowHeight;
    int gap;  // from the toolbar's bottom to the list's top
  };
  auto layoutAt = [&](DWORD dpi) {
    ScopedDpi scoped(dpi);
    Layout layout{};
    const DWORD pid = Start();
    HWND main = WaitMainWindow(pid);
    if (main == nullptr) return layout;
    HWND list = GetDlgItem(main, kList);
    for (int i = 0; i < 4; ++i)
      layout.columns[i] = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
    const RECT row = test::RemoteList(list, pid).Rect(0);
    layout.rowHeight = row.bottom - row.top;
    RECT bar{}, box{};
    GetWindowRect(FindWindowExW(main, nullptr, TOOLBARCLASSNAMEW, nullptr), &bar);
    GetWindowRect(list, &box);
    layout.gap = box.top - bar.bottom;
    PostMessageW(main, WM_COMMAND, ID_APP_EXIT, 0);
    Ended(pid);
    return layout;
  };
  const Layout normal = layoutAt(96);
  const Layout large = layoutAt(144);
  const int widths[] = {37, 40, 225, 120};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(normal.columns[i], widths[i]) << i;
    EXPECT_EQ(large.columns[i], (widths[i] * 3 + 1) / 2) << i;
  }
  EXPECT_EQ(normal.rowHeight, 36);
  EXPECT_EQ(large.rowHeight, 54);
  EXPECT_EQ(normal.gap, 8);
  EXPECT_EQ(large.gap, 12);
}

}  // namespace
}  // namespace lumatrove::e2e
