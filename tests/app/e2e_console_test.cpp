// The console program end to end: lumatrove.com run through pipes, as a script runs it, on the
// demonstration computer; its output (UTF-8, parsed where it is JSON), its exit codes, the
// registry it leaves, and the hand-over to the instance in the tray.
#include "e2e_fixture.h"

#include <cstring>
#include <optional>

namespace lumatrove::e2e {
namespace {

// Just enough JSON to look into what the program writes: objects, arrays, strings (with
// escapes), numbers, true, false and null. Anything else fails the parse.
struct Json {
  enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
  bool truth = false;
  std::string text;  // a string's value, or a number's digits
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;

  const Json& operator[](const std::string& name) const {
    static const Json none;
    for (const auto& [key, value] : members)
      if (key == name) return value;
    return none;
  }
  const Json& operator[](size_t i) const { return items.at(i); }
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}
  std::optional<Json> Document() {
    Json value;
    if (!Value(value)) return std::nullopt;
    Blanks();
    if (at_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void Blanks() {
    while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_]) != nullptr)
      ++at_;
  }
  bool Take(char c) {
    Blanks();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }
  bool String(std::string& out) {
    if (!Take('"')) return false;
    while (at_ < text_.size() && text_[at_] != '"') {
      char c = text_[at_++];
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) return false;
      c = text_[at_++];
      if (c == 'u') {
        if (at_ + 4 > text_.size()) return false;
        const unsigned code = std::stoul(std::string(text_.substr(at_, 4)), nullptr, 16);
        at_ += 4;
        if (code >= 0x80) return false;  // the program escapes control characters only
        out += static_cast<char>(code);
      } else if (const char* plain = std::strchr("\"\\/bfnrt", c)) {
        out += "\"\\/\b\f\n\r\t"[plain - "\"\\/bfnrt"];
      } else {
        return false;
      }
    }
    return Take('"');
  }
  bool Value(Json& v) {
    Blanks();
    if (at_ >= text_.size()) return false;
    const char c = text_[at_];
    if (c == '"') {
      v.kind = Json::kString;
      return String(v.text);
    }
    if (c == '[') {
      v.kind = Json::kArray;
      ++at_;
      if (Take(']')) return true;
      do {
        v.items.emplace_back();
        if (!Value(v.items.back())) return false;
      } while (Take(','));
      return Take(']');
    }
    if (c == '{') {
      v.kind = Json::kObject;
      ++at_;
      if (Take('}')) return true;
      do {
        v.members.emplace_back();
        if (!String(v.members.back().first) || !Take(':') || !Value(v.members.back().second))
          return false;
      } while (Take(','));
      return Take('}');
    }
    if (Word("true") || Word("false")) {
      v.kind = Json::kBool;
      v.truth = c == 't';
      return true;
    }
    if (Word("null")) return true;
    v.kind = Json::kNumber;
    while (at_ < text_.size() && std::strchr("-0123456789.eE+", text_[at_]) != nullptr)
      v.text += text_[at_++];
    return !v.text.empty();
  }

  std::string_view text_;
  size_t at_ = 0;
};

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

  o = Run(L"--list --json");
  std::optional<Json> list = JsonReader(o.out).Document();
  ASSERT_TRUE(list.has_value()) << o.out;
  ASSERT_EQ(list->items.size(), 2u);
  EXPECT_EQ((*list)[0]["name"].text, "實驗室");
  EXPECT_EQ((*list)[1]["id"].text, "7");
  EXPECT_EQ((*list)[1]["active"].kind, Json::kBool);

  o = Run(L"--show 實驗室 --json");
  std::optional<Json> shown = JsonReader(o.out).Document();
  ASSERT_TRUE(shown.has_value()) << o.out;
  const Json& wifi = (*shown)["connections"][0];
  EXPECT_EQ(wifi["mode"].text, "manual");
  EXPECT_EQ(wifi["addresses"][0]["address"].text, "10.0.5.77");
  EXPECT_EQ(wifi["gateways"][0]["address"].text, "10.0.0.1");
  EXPECT_EQ(wifi["dnsServers"][0].text, "10.0.0.53");

  o = Run(L"--current --json");
  std::optional<Json> current = JsonReader(o.out).Document();
  ASSERT_TRUE(current.has_value()) << o.out;
  ASSERT_EQ(current->items.size(), 2u);
  EXPECT_EQ((*current)[1]["addresses"][0]["address"].text, "192.168.1.10");
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
