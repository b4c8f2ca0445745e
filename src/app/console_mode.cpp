// Console mode: one command of ConsoleSession on the real computer, written as UTF-8 lines to
// the standard handles that lumatrove.com gave; no window and no message box.
#include "app/console_mode.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/startup_win.h"
#include "console/console_arguments.h"
#include "console/console_session.h"
#include "netcfg/win32_net_system.h"
#include "store/win32_store_system.h"
#include "ui/main/arp_questions.h"
#include "xml/xml_document.h"

namespace {

using lumatrove::ExitCode;

// An apply that the instance in the tray runs: the address check, the write, netsh and the
// wait take well under this.
constexpr unsigned kForwardTimeoutMs = 120000;
// An instance that is asked to end ends at once, unless it waits for an apply to end.
constexpr unsigned kEndInstanceMs = 30000;

// Writes `text` and a line break to `handle` as UTF-8.
void WriteLine(HANDLE handle, std::u16string_view text) {
  std::u16string line(text);
  DWORD written = 0;
  line += u"\r\n";
  std::string bytes(line.size() * 3, '\0');
  bytes.resize(lumatrove::XmlDocument::Utf16ToUtf8(line.data(), bytes.data(), bytes.size()));
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

namespace lumatrove {

int RunConsoleMode(int argc, wchar_t** argv) {
  // No "insert the disk" boxes from the file system either.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  lumatrove::ConsoleHost host;
  host.out = [out](std::u16string_view text) { WriteLine(out, text); };
  host.err = [err](std::u16string_view text) { WriteLine(err, text); };

  std::vector<std::u16string> arguments;
  for (int i = 2; i < argc; ++i)
    arguments.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  const lumatrove::ParsedArguments parsed = lumatrove::ParseConsoleArguments(arguments);
  if (!parsed.command) {
    host.err(parsed.error);
    return static_cast<int>(ExitCode::kUsage);
  }

  std::unique_ptr<lumatrove::NetSystem> net = lumatrove::MakeWin32ConsoleNetSystem(host.err);
  std::unique_ptr<lumatrove::StoreSystem> system = lumatrove::MakeWin32StoreSystem(*net);
  lumatrove::ProfileStore store(*system);
  lumatrove::NetAdapterLayer adapters(*net);

  const lumatrove::StartupFacts facts = lumatrove::ReadStartupFacts();
  host.elevated = facts.elevated;
  if (facts.instanceRunning) {
    host.forward = [](const lumatrove::HandOff& handOff) {
      return lumatrove::SendToRunningInstance(lumatrove::HandOffText(handOff), kForwardTimeoutMs);
    };
  }
  host.endInstance = [] { return lumatrove::EndRunningInstance(kEndInstanceMs); };
  host.environmentChanged = [] {
    // Explorer reads the environment again, so that new prompts find the program.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                        reinterpret_cast<LPARAM>(L"Environment"), SMTO_ABORTIFHUNG, 5000, &ignored);
  };
  host.apply.askArp = [&net](const std::vector<lumatrove::ArpQuestion>& questions) {
    return lumatrove::AskAtOnce(*net, questions, lumatrove::kArpWaitMs);
  };
  host.apply.sleep = [](unsigned ms) { Sleep(ms); };
  host.apply.runNetsh = [&adapters](uint32_t index, const lumatrove::Ipv4Settings& settings) {
    return adapters.ApplyWithNetsh(index, settings);
  };
  lumatrove::ConsoleSession session(store, adapters, *system, host);
  return static_cast<int>(session.Run(*parsed.command));
}

}  // namespace lumatrove
