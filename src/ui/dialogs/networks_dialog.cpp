#include "ui/dialogs/networks_dialog.h"

#include "texts.h"
#include "ui/dialogs/dialog_context.h"
#include "ui/dialogs/networks_dialog_res.h"
#include "ui/model/networks_editor_model.h"
#include "ui/win/controls.h"
#include "ui/win/dialog.h"

namespace lumatrove {
namespace {

using Kind = NetworkRule::Kind;

// The kinds in the order the kind list shows them.
constexpr Kind kKinds[] = {Kind::kGatewayMac, Kind::kSsid, Kind::kDnsSuffix};

class NetworksDialog : public win::Dialog {
 public:
  NetworksDialog(NetworkRules& networks, const std::function<NetworkSighting()>& seeNow)
      : Dialog(IDD_NETWORKS), networks_(networks), seeNow_(seeNow), editor_(networks) {}

 protected:
  bool OnInit() override {
    const win::ComboBox kinds(Item(IDC_NETWORKS_KIND));
    for (std::u16string_view name : texts::kNetworkKinds)
      kinds.AddString(std::u16string(name));
    kinds.SetCurrentSelection(0);
    win::Window(Item(IDC_NETWORKS_VALUE)).Send(EM_LIMITTEXT, 253);
    CheckButton(IDC_NETWORKS_AUTOAPPLY, editor_.networks().autoApply);
    FillList();
    return true;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (code != BN_CLICKED) return false;
    switch (id) {
      case IDC_NETWORKS_ADD:
        AddTyped();
        return true;
      case IDC_NETWORKS_REMOVE: {
        const int row = win::ListBox(Item(IDC_NETWORKS_LIST)).CurrentSelection();
        if (row >= 0) editor_.Remove(static_cast<size_t>(row));
        FillList(row);
        return true;
      }
      case IDC_NETWORKS_CURRENT: {
        HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        const NetworkSighting seen = seeNow_();
        SetCursor(before);
        if (!editor_.AddSeen(seen))
          ShowMessage(Handle(), texts::kNoNetworkSeen, MB_ICONINFORMATION);
        FillList();
        return true;
      }
    }
    return false;
  }

  void OnOk() override {
    // What is typed and not yet added counts as added.
    if (!ItemText(IDC_NETWORKS_VALUE).empty() && !AddTyped()) return;
    editor_.SetAutoApply(IsButtonChecked(IDC_NETWORKS_AUTOAPPLY));
    if (const std::u16string fault = editor_.Fault(); !fault.empty()) {
      ShowMessage(Handle(), fault, MB_ICONEXCLAMATION);
      return;
    }
    networks_ = editor_.networks();
    End(IDOK);
  }

 private:
  bool AddTyped() {
    const int kind = win::ComboBox(Item(IDC_NETWORKS_KIND)).CurrentSelection();
    const std::u16string fault =
        editor_.Add(kKinds[kind >= 0 && kind < 3 ? kind : 0], ItemText(IDC_NETWORKS_VALUE));
    if (!fault.empty()) {
      ShowMessage(Handle(), fault, MB_ICONEXCLAMATION);
      Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_NETWORKS_VALUE)), TRUE);
      return false;
    }
    SetItemText(IDC_NETWORKS_VALUE, u"");
    FillList();
    return true;
  }

  void FillList(int select = -1) {
    const win::ListBox list(Item(IDC_NETWORKS_LIST));
    list.ResetContent();
    const std::vector<std::u16string> rows = editor_.Rows();
    for (const std::u16string& row : rows)
      list.AddString(row);
    if (select >= static_cast<int>(rows.size())) select = static_cast<int>(rows.size()) - 1;
    list.SetCurrentSelection(select);
    EnableItem(IDC_NETWORKS_REMOVE, !rows.empty());
  }

  NetworkRules& networks_;
  const std::function<NetworkSighting()>& seeNow_;
  NetworksEditor editor_;
};

}  // namespace

bool ShowNetworksDialog(HWND owner, NetworkRules& networks,
                        const std::function<NetworkSighting()>& seeNow) {
  NetworksDialog dialog(networks, seeNow);
  return dialog.RunModal(owner) == IDOK;
}

}  // namespace lumatrove
