// The console program end to end: lumatrove.com run through pipes, as a script runs it, on the
// demonstration computer; its output (UTF-8, as a pipe gets it), its exit codes, the
// registry it leaves, and the hand-over to the instance in the tray.
#include "e2e_fixture.h"

namespace lumatrove::e2e {
namespace {

struct Outcome {
  int code = -1;
  std::string out;  // UTF-8, as a pipe gets it
  std::string err;
};

class Console : public Program {
 protected:
  void SetUp() override {
    Program::SetUp();
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    fs::copy_file(fs::path(self).parent_path() / "lumatrove.com", folder_ / "lumatrove.com");
  }

  // Runs lumatrove.com of `folder` with `arguments`, its output going into pipes.
  static Outcome Run(const fs::path& folder, const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    std::wstring line = L"\"" + (folder / "lumatrove.com").wstring() + L"\" " + arguments;
    PROCESS_INFORMATION pi{};
    Outcome outcome;
    const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        folder.c_str(), &si, &pi);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
      // Standard error is read after standard output: what the program says there is short.
      auto drain = [](HANDLE pipe, std::string& into) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0)
          into.append(buffer, read);
      };
      drain(outRead, outcome.out);
      drain(errRead, outcome.err);
      WaitForSingleObject(pi.hProcess, 60000);
      DWORD code = 0;
      GetExitCodeProcess(pi.hProcess, &code);
      outcome.code = static_cast<int>(code);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return outcome;
  }
  Outcome Run(const std::wstring& arguments) { return Run(folder_, arguments); }
};

TEST_F(Console, ReadingCommandsAsTextAndJson) {
  WriteConfig(DemoConfig(false));
  Outcome o = Run(L"--list");
  EXPECT_EQ(o.code, 0) << o.err;
  // The Chinese names reach the pipe as UTF-8, whatever the system's code page.
  EXPECT_EQ(o.out, "  3\t實驗室\r\n* 7\t家裡\r\n");  // the wired adapter is on DHCP

  // The JSON forms as the pipe gets them (their shape is tested natively): the stored
  // profiles, and what the real adapters hold.
  o = Run(L"--list --json");
  EXPECT_EQ(
      o.out.rfind(R"([{"id":"3","name":"實驗室","active":false},{"id":"7","name":"家裡",)", 0), 0u)
      << o.out;
  o = Run(L"--show 實驗室 --json");
  for (const char* part : {R"("mode":"manual")", R"("address":"10.0.5.77")",
                           R"("gateways":[{"address":"10.0.0.1")", R"("dnsServers":["10.0.0.53")"})
    EXPECT_NE(o.out.find(part), std::string::npos) << part << "\n" << o.out;
  o = Run(L"--current --json");
  EXPECT_NE(o.out.find(R"("addresses":[{"address":"192.168.1.10")"), std::string::npos) << o.out;
  EXPECT_EQ(Run(L"--current").out.find("【"), 0u);

  o = Run(L"--list --force");
  EXPECT_EQ(o.code, 64);
  EXPECT_NE(o.err.find("--force"), std::string::npos);
  EXPECT_NE(Run(L"--help").out.find("64  命令列用法錯誤"), std::string::npos);
}

// Each exit code an apply can end in, and the registry after it.
TEST_F(Console, ApplyByIdAndNameWithEveryOutcome) {
  WriteConfig(ConfigOf(
      "9",
      FixedProfile("實驗室", "3", "10.0.5.77") + FixedProfile("借用", "4", "192.168.1.99") +
          FixedProfile("壞的", "5", "10.0.5.0") + "<NETSETING NAME=\"不在了\" ID=\"6\">" +
          Connection("{00000000-0000-0000-0000-000000000000}", "舊網卡", "1", "", "", "", "") +
          "</NETSETING>\r\n",
      true));
  ScopedVariable answers(L"LUMATROVE_ARP_ANSWERS", L"192.168.1.99=00-11-22-33-44-55");
  struct Case {
    const wchar_t* arguments;
    int code;
    const char* ip;  // the wireless adapter's IPAddress afterwards
  };
  const Case cases[] = {
      {L"--apply 8", 1, "192.168.1.10"},    {L"--apply 壞的", 2, "192.168.1.10"},
      {L"--apply 借用", 6, "192.168.1.10"}, {L"--apply 借用 --force", 0, "192.168.1.99"},
      {L"--apply 3", 0, "10.0.5.77"},
  };
  for (const Case& c : cases) {
    const Outcome o = Run(c.arguments);
    EXPECT_EQ(o.code, c.code) << o.out << o.err;
    EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), c.ip) << o.out << o.err;
  }
  EXPECT_NE(LogText(folder_ / "system.log").find("套用網路組態[實驗室]成功!"), std::string::npos);
  // Back to what the adapter had before the last apply.
  EXPECT_EQ(Run(L"--undo").code, 0);
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "192.168.1.99");

  // A Windows that never shows the new settings: 4, once the wait is over.
  ScopedVariable frozen(L"LUMATROVE_LIVE_FROZEN", L"1");
  const Outcome late = Run(L"--apply 3");
  EXPECT_EQ(late.code, 4) << late.err;
  EXPECT_NE(late.err.find("Wi-Fi"), std::string::npos) << late.err;
  EXPECT_EQ(Run(L"--apply 4 --force --no-wait").code, 0);
}

// With the program in the tray, the console hands the apply over and reports its outcome; the
// window applies its own profile of that ID, without a message box.
TEST_F(Console, HandsTheApplyToTheInstanceInTheTray) {
  WriteConfig(DemoConfig(true));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  // Another copy whose profile 3 has another address: what the registry shows says who applied.
  const fs::path other = folder_ / "other";
  fs::create_directories(other);
  for (const char* file : {"lumatrove.exe", "lumatrove.com", "iphlpapi.dll", "dhcpcsvc.dll"})
    fs::copy_file(folder_ / file, other / file);
  std::ofstream(other / "lumatrove.cfg", std::ios::binary)
      << ConfigOf("3", FixedProfile("實驗室", "3", "10.0.5.88"), false);

  const Outcome o = Run(other, L"--apply 實驗室");
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(o.out, "套用網路組態[實驗室]成功!\r\n");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.77");
  EXPECT_TRUE(WaitFor([&] {
    return LogText(folder_ / "system.log").find("套用網路組態[實驗室]成功!") != std::string::npos;
  }));
  EXPECT_EQ(Run(other, L"--undo").code, 0);
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "192.168.1.10");
  EXPECT_TRUE(NothingElseSaid(main, pid));
}

}  // namespace
}  // namespace lumatrove::e2e
