// The update check end to end: the real program and the real WinInet, whose requests for the
// real address reach a server on this machine set up as the test prefix's proxy (ctest's
// update_server fixture). Each case starts the program with automatic update on.
#include <winsock2.h>
// After winsock2.h.
#include "e2e_fixture.h"

namespace lumatrove::e2e {
namespace {

#ifdef LUMATROVE_UPDATE_FOLDER

class Update : public Program {
 protected:
  void SetUp() override {
    if (GetEnvironmentVariableW(L"LUMATROVE_UPDATE_SERVER", nullptr, 0) == 0) {
      GTEST_SKIP() << "needs the update_server fixture (ctest -R e2e_update)";
    }
    Program::SetUp();
    server_ = fs::path(LUMATROVE_UPDATE_FOLDER);
    fs::remove(server_ / "requests.log");
    UseProxy(LUMATROVE_UPDATE_PORT);
    std::string config = DemoConfig(true);
    config.replace(config.find("<AUTOUPDATE>FALSE"), 17, "<AUTOUPDATE>TRUE");
    WriteConfig(config);
  }
  void TearDown() override {
    if (!server_.empty()) SetProxy(L"", 0);
    Program::TearDown();
  }

  static void SetProxy(const std::wstring& server, DWORD enable) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER,
                    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0, nullptr,
                    0, KEY_SET_VALUE, nullptr, &key, nullptr);
    RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                   sizeof enable);
    RegSetValueExW(key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                   static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  static void UseProxy(int port) { SetProxy(L"127.0.0.1:" + std::to_wstring(port), 1); }

  void Reply(const std::string& status, const std::string& body) {
    std::ofstream(server_ / "reply", std::ios::binary)
        << "HTTP/1.1 " << status << "\r\nContent-Type: text/xml\r\nContent-Length: " << body.size()
        << "\r\nConnection: close\r\n\r\n"
        << body;
  }
  std::string Requests() const { return Read(server_ / "requests.log"); }
  bool WaitForRequest() {
    return WaitFor([&] { return Requests().find("\r\n\r\n") != std::string::npos; });
  }
  std::string Config() const { return Read(folder_ / "lumatrove.cfg"); }

  fs::path server_;
};

TEST_F(Update, NewerVersionIsOffered) {
  Reply("200 OK",
        "<UPDATE><VERSION>2.0.1</VERSION><UPDATE_WEB>http://korvalworks.com/lumatrove/"
        "</UPDATE_WEB><UPDATE_PATH>/x</UPDATE_PATH></UPDATE>");
  const DWORD pid = Start();
  std::u16string text;
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDNO, text));
  EXPECT_EQ(U8(text), "現用程式最新的版本為2.0.1，是否需要更新！");
  const std::string request = Requests();
  // (Through a proxy the request line carries the whole address; Wine adds the port.)
  EXPECT_TRUE(std::regex_search(
      request, std::regex("^GET http://korvalworks\\.com(:80)?/lumatrove/download\\.asp\\?"
                          "FileName=lumatrove\\.ver HTTP/1\\.1\r\n")))
      << request;
  EXPECT_NE(request.find("\r\nAccept: text/*\r\n"), std::string::npos) << request;
  EXPECT_TRUE(std::regex_search(request, std::regex("\r\nUser-Agent: ?HttpClient\r\n"))) << request;
  EXPECT_NE(Config().find("<AUTOUPDATE>TRUE</AUTOUPDATE>"), std::string::npos);
}

TEST_F(Update, EqualVersionErrorPageAndRedirectSayNothing) {
  struct Case {
    const char* status;
    std::string body;
  };
  const Case cases[] = {
      {"200 OK", "<UPDATE><VERSION>2.0.0</VERSION><UPDATE_WEB>http://x/</UPDATE_WEB></UPDATE>"},
      {"500 Internal Server Error", "<html><body>Server Error</body></html>"},
      {"302 Found\r\nLocation: http://korvalworks.com/elsewhere", "<html>moved</html>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    fs::remove(server_ / "requests.log");
    Reply(c.status, c.body);
    const DWORD pid = Start();
    ASSERT_TRUE(WaitForRequest());
    // The worker's outcome reaches the window as a posted message that leaves no trace when it
    // says nothing, and a redirect not followed makes no request: only time can show that no
    // prompt and no second request come.
    Sleep(1500);
    EXPECT_EQ(test::MessageBoxOf(pid), nullptr);
    EXPECT_EQ(Count(Requests(), "GET "), 1u);  // a redirect is not followed
    EXPECT_NE(Config().find("<AUTOUPDATE>TRUE</AUTOUPDATE>"), std::string::npos);
    HWND main = test::MainWindowOf(pid);
    PostMessageW(main, WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_TRUE(Ended(pid));
  }
}

TEST_F(Update, ServerDownSwitchesTheCheckOff) {
  UseProxy(LUMATROVE_UPDATE_PORT + 1);  // nothing listens there
  const DWORD pid = Start();
  std::string config;
  // Wine has once in many runs taken over 20 s to give up on the refused connection; the
  // log says how far the program got if it takes longer still.
  ASSERT_TRUE(WaitFor(
      [&] {
        return (config = Config()).find("<AUTOUPDATE>FALSE</AUTOUPDATE>") != std::string::npos;
      },
      60))
      << LogText(folder_ / "system.log");
  std::string log;
  ASSERT_TRUE(WaitFor([&] {
    return (log = LogText(folder_ / "system.log")).find("自動更新失敗！") != std::string::npos;
  }));
  EXPECT_EQ(test::MessageBoxOf(pid), nullptr);
  EXPECT_NE(config.find("NAME=\"實驗室\""), std::string::npos);  // the profiles are still there
}

// A server that takes the connection and never answers keeps the worker waiting in WinInet;
// leaving the program then neither hangs nor crashes.
TEST_F(Update, ExitWhileTheCheckWaits) {
  WSADATA data{};
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  SOCKET silent = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(LUMATROVE_UPDATE_PORT + 2);
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
  ASSERT_EQ(listen(silent, 4), 0);
  UseProxy(LUMATROVE_UPDATE_PORT + 2);
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  // The worker connects and waits for a reply that never comes.
  fd_set waiting;
  FD_ZERO(&waiting);
  FD_SET(silent, &waiting);
  timeval limit{20, 0};
  ASSERT_EQ(select(0, &waiting, nullptr, nullptr, &limit), 1);
  SOCKET connection = accept(silent, nullptr, nullptr);
  ASSERT_NE(connection, INVALID_SOCKET);
  PostMessageW(main, WM_COMMAND, ID_APP_EXIT, 0);
  EXPECT_TRUE(Ended(pid, 10));
  DWORD code = 1;
  GetExitCodeProcess(ProcessOf(pid), &code);
  EXPECT_EQ(code, 0u);
  closesocket(connection);
  closesocket(silent);
  WSACleanup();
}

#endif

}  // namespace
}  // namespace lumatrove::e2e
