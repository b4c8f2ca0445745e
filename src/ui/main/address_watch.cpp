#include "ui/main/address_watch.h"

// After windows.h.
#include <iphlpapi.h>

namespace lumatrove {
namespace {

struct WatchArguments {
  HWND window;
  UINT message;
  HANDLE stop;
};

// Waits for Windows to report address changes and posts each to the window, until `stop`.
// NotifyAddrChange is asked again after each report; without it (a system that does not
// have it) the thread ends.
DWORD WINAPI WatchAddresses(void* parameter) {
  const WatchArguments arguments = *static_cast<WatchArguments*>(parameter);
  delete static_cast<WatchArguments*>(parameter);
  // The request still pending when the window closes completes into this record later, so
  // it lives on the heap and is never freed (one per window; XP cannot cancel the request).
  auto* overlapped = new OVERLAPPED{};
  overlapped->hEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (overlapped->hEvent == nullptr) return 0;
  for (;;) {
    HANDLE handle = nullptr;
    const DWORD asked = NotifyAddrChange(&handle, overlapped);
    if (asked != ERROR_IO_PENDING && asked != NO_ERROR) break;
    const HANDLE events[2] = {arguments.stop, overlapped->hEvent};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) break;
    PostMessageW(arguments.window, arguments.message, 0, 0);
  }
  return 0;
}

}  // namespace

bool AddressWatch::Start(HWND window, UINT message) {
  Stop();
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (stop_ == nullptr) return false;
  auto* arguments = new WatchArguments{window, message, stop_};
  thread_ = CreateThread(nullptr, 0, WatchAddresses, arguments, 0, nullptr);
  if (thread_ == nullptr) delete arguments;
  return thread_ != nullptr;
}

void AddressWatch::Stop() {
  if (thread_ != nullptr) {
    SetEvent(stop_);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  if (stop_ != nullptr) {
    CloseHandle(stop_);
    stop_ = nullptr;
  }
}

}  // namespace lumatrove
