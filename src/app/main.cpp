// Start-up: run a command of the console program, hand the command line to a running
// instance, start again elevated, apply the profile named by "-n" and end, bring a running
// instance forward, or run the main window until Exit.
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/console_mode.h"
#include "app/startup_win.h"
#include "netcfg/win32_net_system.h"
#include "store/profile_store.h"
#include "store/win32_store_system.h"
#include "texts.h"
#include "ui/main/apply_sequence.h"
#include "ui/main/main_dialog.h"
#include "ui/model/action_log.h"
#include "ui/model/command_line.h"
#include "ui/model/main_window_model.h"
#include "ui/win/window.h"

namespace {

using lumatrove::win::U;
using lumatrove::win::W;

// Applies the profile `id` as the window would (snapshot, conflict question, wait, keep
// question, log), with start-up's own outcome messages.
int ApplyFromCommandLine(const std::u16string& id) {
  std::unique_ptr<lumatrove::NetSystem> net = lumatrove::MakeWin32NetSystem();
  std::unique_ptr<lumatrove::StoreSystem> system = lumatrove::MakeWin32StoreSystem(*net);
  lumatrove::ProfileStore store(*system);
  store.Open();
  const lumatrove::FilePath logFile = store.ConfigPath().Sibling(lumatrove::kActionLogFile);
  auto log = [&](std::u16string_view text) {
    if (store.logEnabled)
      lumatrove::ActionLog(logFile, net->codePage()).Append(text, system->Now());
  };
  // IDs repaired now are repaired for good: the log beside the program says so, as the main
  // window's would.
  for (const std::u16string& line : lumatrove::IdRepairLogLines(store.idRepairs))
    log(line);
  if (!store.autoRunFault.empty()) log(store.autoRunFault);
  const auto found = std::find_if(store.profiles.begin(), store.profiles.end(),
                                  [&](const auto& p) { return p->id == id; });
  if (found == store.profiles.end()) {
    MessageBoxW(nullptr, W(std::u16string(lumatrove::texts::kCommandLineApplyFailed)),
                W(net->ApplicationName()), MB_OK | MB_ICONERROR);
    return 0;
  }
  lumatrove::NetAdapterLayer adapters(*net);
  lumatrove::ApplySequence sequence({lumatrove::ApplySequence::Caller::kCommandLine,
                                     nullptr,
                                     store,
                                     adapters,
                                     *net,
                                     *system,
                                     log,
                                     {}});
  sequence.Run(**found, store.GetProfileContent(id), (*found)->name,
               lumatrove::ApplySequence::Kind::kProfile);
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
  // lumatrove.com's commands, with no window at all.
  if (__argc >= 2 && __wargv[1] == lumatrove::kConsoleModeArgument)
    return lumatrove::RunConsoleMode(__argc, __wargv);

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES |
                                                     ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES |
                                                     ICC_PROGRESS_CLASS | ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&controls);

  using lumatrove::StartupAction;
  const std::u16string arguments = U(commandLine);
  lumatrove::StartupFacts facts = lumatrove::ReadStartupFacts();
  lumatrove::StartupDecision decision = lumatrove::DecideStartup(facts, arguments);
  if (decision.action == StartupAction::kHandOff) {
    if (lumatrove::HandOffToRunningInstance(lumatrove::HandOffText(decision))) return 0;
    // No window took it (the instance is ending, or is not ours to reach): go on alone.
    facts.instanceRunning = false;
    decision = lumatrove::DecideStartup(facts, arguments);
  }
  switch (decision.action) {
    case StartupAction::kElevate:
      // A refused prompt ends quietly, unless a profile was to be applied.
      if (lumatrove::StartElevated(arguments) != lumatrove::ElevatedStart::kStarted &&
          !decision.profileId.empty()) {
        MessageBoxW(nullptr, W(std::u16string(lumatrove::texts::kAdministratorNeeded)),
                    W(std::u16string(lumatrove::texts::kCaption)), MB_OK | MB_ICONERROR);
      }
      return 0;
    case StartupAction::kRejectProfile:
      MessageBoxW(nullptr, W(std::u16string(lumatrove::texts::kCommandLineApplyFailed)),
                  W(std::u16string(lumatrove::texts::kCaption)), MB_OK | MB_ICONERROR);
      return 0;
    case StartupAction::kApplyHere:
      return ApplyFromCommandLine(decision.profileId);
    case StartupAction::kBringForward:
      BringRunningInstanceForward();
      return 0;
    case StartupAction::kHandOff:
    case StartupAction::kRunWindow:
      break;
  }

  // The mutex is never released: it lives until the process ends.
  CreateMutexW(nullptr, TRUE, lumatrove::kInstanceMarker);
  if (GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_ACCESS_DENIED) {
    BringRunningInstanceForward();  // started at the same moment as this one
    return 0;
  }
  // The real computer: the registry, the adapters, the files beside the program.
  std::unique_ptr<lumatrove::NetSystem> net = lumatrove::MakeWin32NetSystem();
  std::unique_ptr<lumatrove::StoreSystem> system = lumatrove::MakeWin32StoreSystem(*net);
  lumatrove::MainDialog main(nullptr, *net, *system);
  main.Run();
  return 0;
}
