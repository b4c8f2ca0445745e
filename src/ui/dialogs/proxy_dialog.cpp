#include "ui/dialogs/proxy_dialog.h"

#include "ui/dialogs/dialog_context.h"
#include "ui/dialogs/proxy_dialog_res.h"
#include "ui/model/proxy_editor_model.h"
#include "ui/win/dialog.h"

namespace lumatrove {
namespace {

using Mode = ProxySetting::Mode;

struct ModeButton {
  Mode mode;
  int id;
};
constexpr ModeButton kModeButtons[] = {
    {Mode::kLeaveAlone, IDC_PROXY_LEAVE}, {Mode::kOff, IDC_PROXY_OFF},
    {Mode::kDetect, IDC_PROXY_DETECT},    {Mode::kScript, IDC_PROXY_SCRIPT},
    {Mode::kServer, IDC_PROXY_SERVER},
};

class ProxyDialog : public win::Dialog {
 public:
  explicit ProxyDialog(ProxySetting& proxy) : Dialog(IDD_PROXY), proxy_(proxy) {}

 protected:
  bool OnInit() override {
    const ProxyFields fields = FieldsOfProxy(proxy_);
    for (const ModeButton& b : kModeButtons)
      CheckButton(b.id, b.mode == fields.mode);
    SetItemText(IDC_PROXY_URL, fields.url);
    SetItemText(IDC_PROXY_HOST, fields.host);
    SetItemText(IDC_PROXY_PORT, fields.port);
    SetItemText(IDC_PROXY_BYPASS, fields.bypass);
    CheckButton(IDC_PROXY_LOCAL, fields.local);
    Enable(fields.mode);
    return true;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (code != BN_CLICKED) return false;
    for (const ModeButton& b : kModeButtons) {
      if (b.id == id) {
        Enable(b.mode);
        return true;
      }
    }
    return false;
  }

  void OnOk() override {
    ProxyFields fields;
    for (const ModeButton& b : kModeButtons)
      if (IsButtonChecked(b.id)) fields.mode = b.mode;
    fields.url = ItemText(IDC_PROXY_URL);
    fields.host = ItemText(IDC_PROXY_HOST);
    fields.port = ItemText(IDC_PROXY_PORT);
    fields.bypass = ItemText(IDC_PROXY_BYPASS);
    fields.local = IsButtonChecked(IDC_PROXY_LOCAL);
    const ProxyOk ok = ProxyOfFields(fields);
    if (!ok.fault.empty()) {
      ShowMessage(Handle(), ok.fault, MB_ICONEXCLAMATION);
      const int control = ok.field == ProxyOk::Field::kUrl      ? IDC_PROXY_URL
                          : ok.field == ProxyOk::Field::kBypass ? IDC_PROXY_BYPASS
                                                                : IDC_PROXY_HOST;
      Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(control)), TRUE);
      return;
    }
    proxy_ = ok.setting;
    End(IDOK);
  }

 private:
  void Enable(Mode mode) {
    const ProxyEnables enables = ProxyEnablesFor(mode);
    EnableItem(IDC_PROXY_URL, enables.url);
    for (int id : {IDC_PROXY_HOST_LABEL, IDC_PROXY_HOST, IDC_PROXY_PORT_LABEL, IDC_PROXY_PORT,
                   IDC_PROXY_BYPASS_LABEL, IDC_PROXY_BYPASS, IDC_PROXY_LOCAL})
      EnableItem(id, enables.server);
  }

  ProxySetting& proxy_;
};

}  // namespace

bool ShowProxyDialog(HWND owner, ProxySetting& proxy) {
  ProxyDialog dialog(proxy);
  return dialog.RunModal(owner) == IDOK;
}

}  // namespace lumatrove
