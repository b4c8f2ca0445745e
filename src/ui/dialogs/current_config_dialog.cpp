#include "ui/dialogs/current_config_dialog.h"

#include "texts.h"
#include "ui/dialogs/current_config_dialog_res.h"
#include "ui/model/current_config_model.h"
#include "ui/res/resource.h"
#include "ui/win/dialog.h"

namespace lumatrove {
namespace {

class CurrentConfigDialog : public win::Dialog {
 public:
  explicit CurrentConfigDialog(DialogContext& context)
      : Dialog(IDD_CURRENT_CONFIG), context_(context), adapters_(context.net) {}

 protected:
  bool OnInit() override {
    SetIcons(IDI_APP);
    if (adapters_.DiscoverAdapters() == 0) {
      ShowMessage(Handle(), texts::kAdaptersFailed, MB_OK);
    } else {
      SetItemText(IDC_CURRENT_TEXT, CurrentSettingsText(adapters_.adapters));
    }
    // The name is what the user types; the text is only read (focused, it would show
    // selected).
    SetFocus(Item(IDC_CURRENT_NAME));
    return false;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (id == IDC_CURRENT_NAME && code == EN_CHANGE) {
      EnableItem(IDOK, IsUsableProfileName(ItemText(IDC_CURRENT_NAME)));
      return true;
    }
    return false;
  }

  void OnOk() override {
    const std::u16string name = ItemText(IDC_CURRENT_NAME);
    if (!IsUsableProfileName(name)) return;
    // The profile holds the adapters as the view found and shows them, one connection each,
    // with every address, gateway and DNS server.
    std::vector<ConnectionSetting> records;
    for (const std::unique_ptr<AdapterInfo>& a : adapters_.adapters)
      records.push_back(ConnectionOf(*a));
    EndStored(*this, context_.store.AddProfile(name, ConnectionList(records)));
  }

 private:
  DialogContext& context_;
  NetAdapterLayer adapters_;
};

}  // namespace

bool ShowCurrentConfigDialog(HWND owner, DialogContext& context) {
  CurrentConfigDialog dialog(context);
  return dialog.RunModal(owner) == IDOK;
}

}  // namespace lumatrove
