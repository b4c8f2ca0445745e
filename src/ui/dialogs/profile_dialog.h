// The profile editor: one tab per connection with its mode, addresses, DNS servers and enable
// flag, and the profile's name. It copies between its controls and a ProfileEditor, which
// holds the records and decides; it never touches the network.
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/dialogs/dialog_context.h"
#include "ui/model/profile_editor_model.h"

namespace lumatrove {

// Runs the editor over `owner` for a new profile, or for the stored profile `id` named `name`
// (modify or properties). True after OK: a new or modified profile is in the store's
// document (the caller saves); in properties mode the caller applies the stored profile.
bool ShowProfileDialog(HWND owner, DialogContext& context, ProfileEditor::Kind kind,
                       std::u16string_view id = {}, std::u16string_view name = {});

}  // namespace lumatrove
