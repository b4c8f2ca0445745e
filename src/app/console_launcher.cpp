// lumatrove.com, the console program: found before lumatrove.exe when "lumatrove" is typed in
// a prompt. It runs lumatrove.exe beside it in console mode with the same arguments, relays
// what that writes (UTF-8) to its own standard output and error, and ends with its exit code.
// To a console the text goes through WriteConsoleW, so that Chinese names show whatever the
// console's code page; to a pipe or a file it goes as the UTF-8 bytes.
#include <windows.h>

#include <string>

#include "app/console_mode.h"
#include "console/utf8_prefix.h"

namespace {

// What the program ends with when lumatrove.exe cannot be run at all.
constexpr int kCannotRun = 3;

// One of the pipes of lumatrove.exe and where its text goes; UTF-8 that a console gets as
// UTF-16 waits in `pending` until its characters are whole.
struct Relay {
  HANDLE from;
  HANDLE to;
  bool console;
  std::string pending;
};

void WriteToConsole(HANDLE console, const char* bytes, size_t size) {
  if (size == 0) return;
  std::wstring text(size, L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), text.data(),
                                         static_cast<int>(text.size()));
  DWORD written = 0;
  WriteConsoleW(console, text.data(), static_cast<DWORD>(length), &written, nullptr);
}

// Passes on what the pipe holds now, without waiting for more; false once it is closed.
bool RelayWaiting(Relay& relay) {
  DWORD available = 0;
  if (!PeekNamedPipe(relay.from, nullptr, 0, nullptr, &available, nullptr)) return false;
  char buffer[4096];
  while (available > 0) {
    DWORD read = 0;
    if (!ReadFile(relay.from, buffer, sizeof buffer < available ? sizeof buffer : available, &read,
                  nullptr) ||
        read == 0) {
      return false;
    }
    available -= read;
    if (!relay.console) {
      DWORD written = 0;
      WriteFile(relay.to, buffer, read, &written, nullptr);
      continue;
    }
    relay.pending.append(buffer, read);
    const size_t whole = lumatrove::WholeUtf8Prefix(relay.pending);
    WriteToConsole(relay.to, relay.pending.data(), whole);
    relay.pending.erase(0, whole);
  }
  return true;
}

// The arguments of the command line, as typed: what follows the program's name.
const wchar_t* ArgumentsOf(const wchar_t* line) {
  if (*line == L'"') {
    ++line;
    while (*line != 0 && *line != L'"')
      ++line;
    if (*line == L'"') ++line;
  } else {
    while (*line != 0 && *line != L' ' && *line != L'\t')
      ++line;
  }
  while (*line == L' ' || *line == L'\t')
    ++line;
  return line;
}

void Say(const wchar_t* text) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  DWORD written = 0;
  DWORD mode = 0;
  const std::wstring line = std::wstring(text) + L"\r\n";
  if (GetConsoleMode(err, &mode)) {
    WriteConsoleW(err, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return;
  }
  std::string bytes(line.size() * 3, '\0');
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(),
                          static_cast<int>(bytes.size()), nullptr, nullptr);
  WriteFile(err, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
}

}  // namespace

int wmain() {
  // lumatrove.exe beside this program.
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring program(path, length < MAX_PATH ? length : 0);
  const size_t dot = program.find_last_of(L'.');
  if (program.empty() || dot == std::wstring::npos || dot < program.find_last_of(L'\\')) {
    Say(L"無法找到 lumatrove.exe");
    return kCannotRun;
  }
  program.replace(dot, std::wstring::npos, L".exe");
  std::wstring line = L"\"" + program + L"\" " + std::wstring(lumatrove::kConsoleModeArgument);
  const wchar_t* arguments = ArgumentsOf(GetCommandLineW());
  if (*arguments != 0) line += std::wstring(L" ") + arguments;

  // Pipes for the standard output and error of lumatrove.exe; only their writing ends are
  // handed on.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  if (!CreatePipe(&outRead, &outWrite, &inherit, 0) ||
      !CreatePipe(&errRead, &errWrite, &inherit, 0)) {
    Say(L"無法執行 lumatrove.exe");
    return kCannotRun;
  }
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    Say((L"無法執行 " + program).c_str());
    return kCannotRun;
  }
  CloseHandle(process.hThread);
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  // An apply that has begun runs to its end: Ctrl+C does not leave it without its outcome.
  SetConsoleCtrlHandler(nullptr, TRUE);

  // The pipes are looked at in turn until the program has ended: a pipe that another
  // program inherited from it may stay open after it.
  DWORD mode = 0;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  Relay relays[] = {{outRead, out, GetConsoleMode(out, &mode) != 0, {}},
                    {errRead, err, GetConsoleMode(err, &mode) != 0, {}}};
  for (bool ended = false; !ended;) {
    ended = WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0;
    for (Relay& relay : relays)
      RelayWaiting(relay);
  }
  for (Relay& relay : relays) {
    if (relay.console) WriteToConsole(relay.to, relay.pending.data(), relay.pending.size());
  }
  DWORD code = kCannotRun;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
