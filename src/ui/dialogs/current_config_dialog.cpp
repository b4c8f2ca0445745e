#include "ui/dialogs/current_config_dialog.h"

#include "texts.h"
#include "ui/dialogs/current_config_dialog_res.h"
#include "ui/main/main_dialog.h"
#include "ui/model/current_config_model.h"
#include "ui/res/resource.h"

namespace lumatrove {

bool ShowCurrentConfigDialog(MainDialog& main) {
  CurrentConfigDialog dialog(&main);
  return dialog.RunModal(main.Handle()) == IDOK;
}

CurrentConfigDialog::CurrentConfigDialog(MainDialog* parent)
    : Dialog(IDD_CURRENT_CONFIG), parent_(parent), adapters_(parent->Net()) {}

bool CurrentConfigDialog::OnInit() {
  SetIcons(IDI_APP);
  if (adapters_.DiscoverAdapters() == 0) {
    parent_->Message(texts::kAdaptersFailed, MB_OK, Handle());
  } else {
    SetItemText(IDC_CURRENT_TEXT, CurrentSettingsText(adapters_.adapters));
  }
  // The name is what the user types; the text is only read (focused, it would show selected).
  SetFocus(Item(IDC_CURRENT_NAME));
  return false;
}

bool CurrentConfigDialog::OnCommand(int id, int code, HWND) {
  if (id == IDC_CURRENT_NAME && code == EN_CHANGE) {
    EnableItem(IDOK, IsUsableProfileName(ItemText(IDC_CURRENT_NAME)));
    return true;
  }
  return false;
}

void CurrentConfigDialog::OnOk() {
  const std::u16string name = ItemText(IDC_CURRENT_NAME);
  if (!IsUsableProfileName(name)) return;
  // The profile holds the adapters as the main window found them, each as one connection.
  std::vector<const ConnectionSetting*> connections;
  for (const std::unique_ptr<AdapterInfo>& a : parent_->netAdapters.adapters)
    connections.push_back(a.get());
  if (!parent_->store.AddProfile(name, std::move(connections))) {
    parent_->Message(texts::kSaveFailed, MB_ICONERROR, Handle());
    End(IDCANCEL);
    return;
  }
  End(IDOK);
}

}  // namespace lumatrove
