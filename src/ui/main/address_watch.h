// The address watch: a thread of its own waits for Windows to report an address change
// (NotifyAddrChange) and posts a message to a window for each report.
#pragma once

#include <windows.h>

namespace lumatrove {

class AddressWatch {
 public:
  AddressWatch() = default;
  ~AddressWatch() { Stop(); }
  AddressWatch(const AddressWatch&) = delete;
  AddressWatch& operator=(const AddressWatch&) = delete;

  // Posts `message` to `window` after each change; false when the thread could not start
  // (the window then reads the state after its own applies only).
  bool Start(HWND window, UINT message);
  // Ends the thread (waiting for it at most 5 seconds).
  void Stop();

 private:
  HANDLE thread_ = nullptr;
  HANDLE stop_ = nullptr;
};

}  // namespace lumatrove
