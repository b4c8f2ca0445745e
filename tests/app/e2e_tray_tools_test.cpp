// The tray menu and the tool commands end to end: a profile chosen from the tray, the tray
// menu itself, switching adapters on and off.
#include "e2e_fixture.h"

namespace lumatrove::e2e {
namespace {

// A popup menu of the process on the screen.
HWND VisibleMenuOf(DWORD pid) {
  for (HWND h : test::TopLevelWindows(pid)) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpW(cls, L"#32768") == 0 && IsWindowVisible(h)) return h;
  }
  return nullptr;
}

TEST_F(Program, TrayProfileEntryAppliesItsRow) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, 1524 + 1, 0);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用網路組態[家裡]成功!");
  EXPECT_EQ(Read(dhcpLog_), std::string("(null)|") + kLan + "|0|0|00000000|00000000|1\n");
  // A row that is not there applies nothing.
  PostMessageW(main, WM_COMMAND, 1524 + 2, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "沒有選中任何組態!");
}

TEST_F(Program, TrayRightClickShowsTheMenu) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start(L"-hide");
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (main = test::MainWindowOf(pid)) != nullptr; }));
  for (int time = 0; time < 2; ++time) {
    PostMessageW(main, WM_USER + 1, 129, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = VisibleMenuOf(pid)) != nullptr; }));
    PostMessageW(main, WM_CANCELMODE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return VisibleMenuOf(pid) == nullptr; }));
  }
  EXPECT_FALSE(IsWindowVisible(main));  // the menu does not open the window
}

TEST_F(Program, AdaptersSwitchedFromTheSubmenusReportTheOutcome) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  std::u16string text;
  // Wine's device installer cannot change a device: both report failure.
  PostMessageW(main, WM_COMMAND, 2045 + 1, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "禁用網路失敗！");
  PostMessageW(main, WM_COMMAND, 2025 + 0, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "啟用網路失敗！");
  // An entry beyond the adapters does nothing.
  PostMessageW(main, WM_COMMAND, 2045 + 5, 0);
  Sleep(500);
  EXPECT_EQ(test::MessageBoxOf(pid), nullptr);
}

}  // namespace
}  // namespace lumatrove::e2e
