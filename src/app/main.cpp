// Start-up: apply the profile named by "-n" and end, bring a running instance forward, or
// run the main window until Exit.
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <string>

#include "netcfg/win32_net_system.h"
#include "store/profile_store.h"
#include "store/win32_store_system.h"
#include "texts.h"
#include "ui/main/main_dialog.h"
#include "ui/model/action_log.h"
#include "ui/model/command_line.h"
#include "ui/model/main_window_model.h"
#include "ui/win/window.h"

namespace {

using lumatrove::win::U;
using lumatrove::win::W;

int ApplyFromCommandLine(const std::u16string& id) {
  std::unique_ptr<lumatrove::NetSystem> net = lumatrove::MakeWin32NetSystem();
  std::unique_ptr<lumatrove::StoreSystem> system = lumatrove::MakeWin32StoreSystem(*net);
  bool ok = false;
  {
    lumatrove::ProfileStore store(*system);
    store.Open();
    if (store.logEnabled) {
      // IDs repaired now are repaired for good: the log beside the program says so, as the
      // main window's would.
      lumatrove::ActionLog log(store.ConfigPath().Sibling(lumatrove::kActionLogFile),
                               net->codePage());
      for (const std::u16string& line : lumatrove::IdRepairLogLines(store.idRepairs))
        log.Append(line, system->Now());
    }
    ok = store.ApplyProfile(id);
  }
  const std::u16string text(ok ? lumatrove::texts::kCommandLineApplied
                               : lumatrove::texts::kCommandLineApplyFailed);
  MessageBoxW(nullptr, W(text), W(net->ApplicationName()), MB_OK);
  return 0;
}

// Finds the running instance's main window by its property and brings it forward.
void BringRunningInstanceForward() {
  HWND window = GetWindow(GetDesktopWindow(), GW_CHILD);
  while (window != nullptr && GetPropW(window, lumatrove::kInstanceMarker) == nullptr) {
    window = GetWindow(window, GW_HWNDNEXT);
  }
  if (window == nullptr) return;
  ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SetForegroundWindow(GetLastActivePopup(window));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES |
                                                     ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES |
                                                     ICC_PROGRESS_CLASS | ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&controls);

  const std::u16string arguments = U(commandLine);
  const std::u16string id = lumatrove::ProfileIdArgument(arguments);
  if (!id.empty()) return ApplyFromCommandLine(id);

  // The mutex is never released: it lives until the process ends.
  CreateMutexW(nullptr, TRUE, lumatrove::kInstanceMarker);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    BringRunningInstanceForward();
    return 0;
  }
  // The real computer: the registry, the adapters, the files beside the program.
  std::unique_ptr<lumatrove::NetSystem> net = lumatrove::MakeWin32NetSystem();
  std::unique_ptr<lumatrove::StoreSystem> system = lumatrove::MakeWin32StoreSystem(*net);
  lumatrove::MainDialog main(nullptr, *net, *system);
  main.Run();
  return 0;
}
