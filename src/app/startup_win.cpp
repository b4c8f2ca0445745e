#include "app/startup_win.h"

#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include "ui/main/main_window_ids.h"
#include "ui/res/resource.h"
#include "ui/win/window.h"

namespace lumatrove {
namespace {

constexpr DWORD kFindWindowMs = 5000;
constexpr UINT kHandOffTimeoutMs = 5000;

bool UacOn() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExW(&version) || version.dwMajorVersion < 6) return false;
  HKEY key = nullptr;
  DWORD enabled = 1;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", 0, KEY_READ,
                    &key) == ERROR_SUCCESS) {
    DWORD size = sizeof enabled;
    DWORD type = 0;
    if (RegQueryValueExW(key, L"EnableLUA", nullptr, &type, reinterpret_cast<BYTE*>(&enabled),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD) {
      enabled = 1;  // Windows' default
    }
    RegCloseKey(key);
  }
  return enabled != 0;
}

bool Elevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return true;
  // TOKEN_ELEVATION (Vista and later): one DWORD.
  DWORD elevation = 1;
  DWORD size = 0;
  const bool known = GetTokenInformation(token, static_cast<TOKEN_INFORMATION_CLASS>(20),
                                         &elevation, sizeof elevation, &size) != 0;
  CloseHandle(token);
  return !known || elevation != 0;
}

bool InstanceMutexExists() {
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, kInstanceMarker);
  if (mutex != nullptr) {
    CloseHandle(mutex);
    return true;
  }
  // An elevated instance's mutex is there but closed to a process that is not.
  return GetLastError() == ERROR_ACCESS_DENIED;
}

HWND RunningInstanceWindow() {
  for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
       window = GetWindow(window, GW_HWNDNEXT)) {
    if (GetPropW(window, kInstanceMarker) != nullptr) return window;
  }
  return nullptr;
}

}  // namespace

StartupFacts ReadStartupFacts() {
  StartupFacts facts;
  facts.uac = UacOn();
  facts.elevated = !facts.uac || Elevated();
  facts.instanceRunning = InstanceMutexExists();
  return facts;
}

bool HandOffToRunningInstance(std::u16string_view text) {
  const std::optional<intptr_t> answer = SendToRunningInstance(text, kHandOffTimeoutMs);
  return answer && *answer != 0;
}

std::optional<intptr_t> SendToRunningInstance(std::u16string_view text, unsigned timeoutMs) {
  if (text.size() * sizeof(char16_t) > kHandOffMaxBytes) return std::nullopt;
  HWND window = RunningInstanceWindow();
  for (DWORD waited = 0; window == nullptr && waited < kFindWindowMs; waited += 100) {
    Sleep(100);
    window = RunningInstanceWindow();
  }
  if (window == nullptr) return std::nullopt;
  // The instance may bring its window or its messages forward.
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  AllowSetForegroundWindow(pid);
  COPYDATASTRUCT data{};
  data.dwData = kHandOffTag;
  data.cbData = static_cast<DWORD>(text.size() * sizeof(char16_t));
  data.lpData = const_cast<char16_t*>(text.data());
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                          timeoutMs, &answer) == 0) {
    return std::nullopt;
  }
  return static_cast<intptr_t>(answer);
}

bool EndRunningInstance(unsigned timeoutMs) {
  HWND window = RunningInstanceWindow();
  if (window == nullptr) return true;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  PostMessageW(window, WM_COMMAND, ID_APP_EXIT, 0);
  if (process == nullptr) {
    // Not ours to wait for: its window going away is as good.
    for (unsigned waited = 0; IsWindow(window) && waited < timeoutMs; waited += 100)
      Sleep(100);
    return !IsWindow(window);
  }
  const bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

ElevatedStart StartElevated(std::u16string_view arguments) {
  wchar_t program[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ElevatedStart::kFailed;
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  const std::u16string parameters(arguments);
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_FLAG_NO_UI;
  run.lpVerb = L"runas";
  run.lpFile = program;
  run.lpParameters = win::W(parameters);
  run.lpDirectory = folder;
  run.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&run)) return ElevatedStart::kStarted;
  return GetLastError() == ERROR_CANCELLED ? ElevatedStart::kRefused : ElevatedStart::kFailed;
}

}  // namespace lumatrove
