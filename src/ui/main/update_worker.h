// The update check's worker: a thread of its own downloads and reads the version document and
// posts what it found to a window. It touches nothing of the window but its handle, so the
// program can end while the worker still waits for the network.
#pragma once

#include <windows.h>

#include <memory>

#include "base/file_path.h"
#include "services/update_check.h"

namespace lumatrove {

class UpdateWorker {
 public:
  // Starts the check, which stores the version document as `file` and posts `message` to
  // `window` with the outcome as its lParam; false when no thread could be started.
  static bool Start(HWND window, UINT message, const FilePath& file);
  // The outcome a posted message carries; the caller owns it from then on.
  static std::unique_ptr<UpdateOutcome> TakeOutcome(LPARAM posted);
};

}  // namespace lumatrove
