// What the profile dialogs use of the program, handed to them by the main window: the store,
// the adapters as the window last discovered them, the computer (for a dialog that looks at
// the adapters itself) and the action log. The dialogs never see the main window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "netcfg/net_adapter_layer.h"
#include "store/profile_store.h"
#include "texts.h"
#include "ui/win/dialog.h"
#include "ui/win/window.h"

namespace lumatrove {

struct DialogContext {
  ProfileStore& store;
  const NetAdapterLayer& adapters;
  NetSystem& net;
  // Appends to the action log (when logging is on).
  std::function<void(std::u16string_view)> log;
};

// A message box of the program (captioned "Lumatrove") over `owner`; returns the button.
inline int ShowMessage(HWND owner, std::u16string_view text, UINT flags) {
  return MessageBoxW(owner, win::W(std::u16string(text)), win::W(std::u16string(texts::kCaption)),
                     flags);
}

// Ends `dialog` with OK when the store took what the dialog gave it; otherwise says that the
// file was not written and ends with Cancel.
inline void EndStored(win::Dialog& dialog, bool stored) {
  if (!stored) ShowMessage(dialog.Handle(), texts::kSaveFailed, MB_ICONERROR);
  dialog.End(stored ? IDOK : IDCANCEL);
}

}  // namespace lumatrove
