// What the adapters see, read on a thread of its own: asking ARP about a gateway that does not
// answer keeps Windows busy for seconds. The worker posts the NetworkSighting it read to a
// window and touches nothing of the window but its handle, so the program can end meanwhile.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/model/auto_switch.h"

namespace lumatrove {

class SightingWorker {
 public:
  // Reads what `live` sees through a NetSystem of its own and posts `message` to `window`
  // with the sighting as its lParam; false when no thread could be started.
  static bool Start(HWND window, UINT message, std::vector<LiveAdapter> live);
  // The sighting a posted message carries; the caller owns it from then on.
  static std::unique_ptr<NetworkSighting> Take(LPARAM posted) {
    return std::unique_ptr<NetworkSighting>(reinterpret_cast<NetworkSighting*>(posted));
  }
};

}  // namespace lumatrove
