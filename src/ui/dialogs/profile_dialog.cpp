#include "ui/dialogs/profile_dialog.h"

#include "texts.h"
#include "ui/controls/colored_tab_ctrl.h"
#include "ui/dialogs/advanced_tcpip_dialog.h"
#include "ui/dialogs/networks_dialog.h"
#include "ui/dialogs/profile_dialog_res.h"
#include "ui/dialogs/proxy_dialog.h"
#include "ui/res/resource.h"
#include "ui/win/controls.h"
#include "ui/win/dialog.h"
#include "xml/xml_document.h"

namespace lumatrove {
namespace {

constexpr int kAddressControls[] = {IDC_PROFILE_ADDRESS, IDC_PROFILE_MASK, IDC_PROFILE_GATEWAY,
                                    IDC_PROFILE_DNS1, IDC_PROFILE_DNS2};
constexpr int kAddressGroup[] = {IDC_PROFILE_ADDRESS, IDC_PROFILE_MASK, IDC_PROFILE_GATEWAY};
constexpr int kDnsGroup[] = {IDC_PROFILE_DNS1, IDC_PROFILE_DNS2, IDC_PROFILE_PROVIDERS};

class ProfileDialog : public win::Dialog {
 public:
  ProfileDialog(DialogContext& context, ProfileEditor::Kind kind, std::u16string_view id,
                std::u16string_view name);

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT& result) override;
  bool OnMessage(UINT message, WPARAM w, LPARAM l, INT_PTR& result) override;
  bool PreTranslateMessage(MSG& msg) override;
  void OnOk() override;

 private:
  EditorFields ReadFields() const;
  void ShowFields(const EditorFields& fields);
  void ShowEnables(const EditorFields& fields);
  void SetAddress(int id, uint32_t address);
  void FillDnsProviders();
  void SwitchTab(int tab);
  void FocusItem(int id);
  // The control that shows `field`.
  static int FieldControl(ProfileEditor::Field field);
  void OnModeClicked();
  void OnDnsAutomaticClicked();
  void OnAddressChanged();
  void OnProviderChosen();
  // "進階...": every address, gateway and DNS server of the current tab; the tab then shows
  // the first of each.
  void OnAdvanced();

  DialogContext& context_;
  ProfileEditor model_;
  XmlDocument dnsDocument_;
  ColoredTabCtrl tabs_;
  bool filling_ = false;  // the controls are being set from the model
};

ProfileDialog::ProfileDialog(DialogContext& context, ProfileEditor::Kind kind,
                             std::u16string_view id, std::u16string_view name)
    : Dialog(IDD_PROFILE), context_(context) {
  model_.kind = kind;
  model_.profileId = id;
  model_.originalName = name;
}

bool ProfileDialog::OnInit() {
  SetIcons(IDI_APP);
  ShowFields(EditorFields{});
  // The first field of an address (not of a mask) is a class A to C network.
  for (int id : kAddressControls) {
    const win::IpAddressCtrl control(Item(id));
    control.SetFieldRange(0, id == IDC_PROFILE_MASK ? 0 : 1, id == IDC_PROFILE_MASK ? 255 : 223);
    for (int field = 1; field < 4; ++field)
      control.SetFieldRange(field, 0, 255);
  }
  FillDnsProviders();
  if (context_.adapters.adapters.empty()) {
    ShowMessage(Handle(), texts::kDialogFailed, MB_OK);
    End(IDCANCEL);
    return true;
  }

  tabs_.TakeOver(Item(IDC_PROFILE_TABS));
  if (model_.kind == ProfileEditor::Kind::kNew) {
    model_.StartNew(context_.adapters.adapters, context_.store.GetLastIdText());
  } else {
    model_.StartStored(model_.kind, model_.profileId, model_.originalName,
                       context_.store.GetProfileContent(model_.profileId));
    if (model_.kind == ProfileEditor::Kind::kProperties) {
      SetItemText(IDOK, std::u16string(texts::kPropertiesOk));
    }
  }
  SetItemText(IDC_PROFILE_NAME, model_.profileName);
  // The key of a stored profile; a key without Ctrl, Alt or Win becomes Ctrl+Alt+key as it
  // is typed, which the model would refuse otherwise.
  for (const auto& p : context_.store.profiles) {
    if (p->id == model_.profileId && model_.kind != ProfileEditor::Kind::kNew) {
      model_.hotkey = ParseHotkey(p->hotkey).value_or(Hotkey{});
      model_.proxy = p->proxy;
      model_.networks = p->networks;
    }
  }
  win::Window(Item(IDC_PROFILE_HOTKEY))
      .Send(HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
  win::Window(Item(IDC_PROFILE_HOTKEY)).Send(HKM_SETHOTKEY, ControlValueOf(model_.hotkey), 0);
  for (size_t i = 0; i < model_.connections.size(); ++i) {
    tabs_.InsertItem(static_cast<int>(i), model_.connections[i].connectionName);
  }
  SwitchTab(0);
  return true;
}

void ProfileDialog::FillDnsProviders() {
  // The providers are read from the file as last saved, the store's own document.
  const win::ComboBox providers(Item(IDC_PROFILE_PROVIDERS));
  if (!dnsDocument_.LoadFile(context_.store.ConfigPath())) {
    context_.log(texts::kDnsListFailed);
    return;
  }
  // A file without a provider list leaves the list empty.
  model_.LoadDnsProviders(dnsDocument_);
  for (const std::u16string& name : model_.dnsProviders)
    providers.AddString(name);
  providers.SetCurrentSelection(0);
}

EditorFields ProfileDialog::ReadFields() const {
  EditorFields f;
  if (IsButtonChecked(IDC_PROFILE_AUTOMATIC)) f.mode = ConnectionMode::kAutomatic;
  if (IsButtonChecked(IDC_PROFILE_MANUAL)) f.mode = ConnectionMode::kManual;
  uint32_t* targets[] = {&f.address, &f.mask, &f.gateway, &f.dns1, &f.dns2};
  for (size_t i = 0; i < 5; ++i)
    win::IpAddressCtrl(Item(kAddressControls[i])).GetAddress(*targets[i]);
  f.dnsAutomatic = IsButtonChecked(IDC_PROFILE_DNS_AUTOMATIC);
  f.adapterDisabled = IsButtonChecked(IDC_PROFILE_DISABLE);
  return f;
}

void ProfileDialog::SetAddress(int id, uint32_t address) {
  const win::IpAddressCtrl control(Item(id));
  if (address == 0) {
    control.Clear();
  } else {
    control.SetAddress(address);
  }
}

void ProfileDialog::ShowFields(const EditorFields& f) {
  filling_ = true;
  const uint32_t values[] = {f.address, f.mask, f.gateway, f.dns1, f.dns2};
  for (size_t i = 0; i < 5; ++i)
    SetAddress(kAddressControls[i], values[i]);
  const int mode = f.mode == ConnectionMode::kAutomatic ? IDC_PROFILE_AUTOMATIC
                   : f.mode == ConnectionMode::kManual  ? IDC_PROFILE_MANUAL
                                                        : IDC_PROFILE_LEAVE;
  for (int id : {IDC_PROFILE_LEAVE, IDC_PROFILE_AUTOMATIC, IDC_PROFILE_MANUAL})
    CheckButton(id, id == mode);
  CheckButton(IDC_PROFILE_DNS_AUTOMATIC, f.dnsAutomatic);
  CheckButton(IDC_PROFILE_DISABLE, f.adapterDisabled);
  ShowEnables(f);
  filling_ = false;
}

void ProfileDialog::ShowEnables(const EditorFields& f) {
  const EditorEnables on = EnablesFor(f);
  for (int id : kAddressGroup)
    EnableItem(id, on.addressGroup);
  EnableItem(IDC_PROFILE_ADVANCED, on.addressGroup);
  for (int id : kDnsGroup)
    EnableItem(id, on.dnsGroup);
  EnableItem(IDC_PROFILE_DNS_AUTOMATIC, on.dnsAutomatic);
}

void ProfileDialog::OnAdvanced() {
  const int tab = model_.currentTab;
  if (tab < 0 || static_cast<size_t>(tab) >= model_.connections.size()) return;
  model_.StoreShown(ReadFields());
  if (ShowAdvancedTcpIpDialog(Handle(), model_.connections[static_cast<size_t>(tab)])) {
    ShowFields(model_.FieldsOf(tab));
  }
}

void ProfileDialog::SwitchTab(int tab) {
  tabs_.SetCurrentSelection(tab);
  ShowFields(model_.SwitchTab(ReadFields(), tab));
  tabs_.Invalidate();
}

void ProfileDialog::OnModeClicked() {
  EditorFields f = ReadFields();
  // Servers obtained automatically belong to an automatic connection only.
  if (f.mode != ConnectionMode::kAutomatic && f.dnsAutomatic) {
    f.dnsAutomatic = false;
    CheckButton(IDC_PROFILE_DNS_AUTOMATIC, false);
  }
  ShowEnables(f);
}

void ProfileDialog::OnDnsAutomaticClicked() {
  const EditorFields f = ReadFields();
  if (f.dnsAutomatic) {
    filling_ = true;
    SetAddress(IDC_PROFILE_DNS1, 0);
    SetAddress(IDC_PROFILE_DNS2, 0);
    filling_ = false;
  }
  ShowEnables(f);
}

void ProfileDialog::OnAddressChanged() {
  uint32_t address = 0, gateway = 0, mask = 0;
  win::IpAddressCtrl(Item(IDC_PROFILE_ADDRESS)).GetAddress(address);
  if (!SuggestGateway(address, gateway, mask)) return;
  filling_ = true;
  SetAddress(IDC_PROFILE_GATEWAY, gateway);
  SetAddress(IDC_PROFILE_MASK, mask);
  filling_ = false;
}

void ProfileDialog::OnProviderChosen() {
  const win::ComboBox providers(Item(IDC_PROFILE_PROVIDERS));
  const int chosen = providers.CurrentSelection();
  if (chosen < 0) return;
  EditorFields f = ReadFields();
  if (!model_.ApplyDnsProvider(dnsDocument_, providers.ItemText(chosen), f)) return;
  filling_ = true;
  SetAddress(IDC_PROFILE_DNS1, f.dns1);
  SetAddress(IDC_PROFILE_DNS2, f.dns2);
  filling_ = false;
}

bool ProfileDialog::OnCommand(int id, int code, HWND) {
  switch (id) {
    case IDC_PROFILE_PROXY:
      if (code == BN_CLICKED) ShowProxyDialog(Handle(), model_.proxy);
      return true;
    case IDC_PROFILE_NETWORKS:
      if (code == BN_CLICKED) {
        ShowNetworksDialog(Handle(), model_.networks, [&] {
          return ReadNetworkSighting(context_.net, context_.adapters.ReadLiveAdapters());
        });
      }
      return true;
    case IDC_PROFILE_LEAVE:
    case IDC_PROFILE_AUTOMATIC:
    case IDC_PROFILE_MANUAL:
      if (code == BN_CLICKED) OnModeClicked();
      return true;
    case IDC_PROFILE_DNS_AUTOMATIC:
      if (code == BN_CLICKED) OnDnsAutomaticClicked();
      return true;
    case IDC_PROFILE_ADDRESS:
      if (code == EN_CHANGE && !filling_) OnAddressChanged();
      return true;
    case IDC_PROFILE_PROVIDERS:
      if (code == CBN_SELCHANGE) OnProviderChosen();
      return true;
    case IDC_PROFILE_ADVANCED:
      if (code == BN_CLICKED) OnAdvanced();
      return true;
    default:
      return false;
  }
}

bool ProfileDialog::OnNotify(NMHDR* header, LRESULT& result) {
  if (header->idFrom == IDC_PROFILE_TABS && header->code == TCN_SELCHANGE) {
    SwitchTab(tabs_.CurrentSelection());
    result = 0;
    return true;
  }
  return false;
}

bool ProfileDialog::PreTranslateMessage(MSG& msg) {
  // Ctrl+Tab and Ctrl+Shift+Tab move between the connections, as in other tabbed dialogs.
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) {
    return false;
  }
  const int count = tabs_.ItemCount();
  if (count < 2) return true;
  const int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
  SwitchTab((tabs_.CurrentSelection() + step) % count);
  return true;
}

bool ProfileDialog::OnMessage(UINT message, WPARAM w, LPARAM l, INT_PTR& result) {
  if (message == WM_DRAWITEM && w == IDC_PROFILE_TABS) {
    tabs_.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
    result = TRUE;
    return true;
  }
  return false;
}

void ProfileDialog::FocusItem(int id) {
  Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

void ProfileDialog::OnOk() {
  using Result = ProfileEditor::OkResult;
  model_.profileName = ItemText(IDC_PROFILE_NAME);
  // The control has no Win key; a stored Win+key stays as long as the control shows its key.
  const Hotkey shown = HotkeyOfControl(
      static_cast<uint16_t>(win::Window(Item(IDC_PROFILE_HOTKEY)).Send(HKM_GETHOTKEY, 0, 0)));
  if (shown != HotkeyOfControl(ControlValueOf(model_.hotkey))) model_.hotkey = shown;
  ProfileEditor::OkAnswers answers;
  for (;;) {
    // Read again each time: a question may have shown another tab.
    const Result result = model_.Ok(ReadFields(), context_.store, answers);
    switch (result) {
      case Result::kNameExists:
        // OK returns to the name; Cancel stores under the taken name.
        if (ShowMessage(Handle(), texts::kNameExists, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK) {
          FocusItem(IDC_PROFILE_NAME);
          return;
        }
        answers.keepTakenName = true;
        continue;
      case Result::kGatewayOutside:
        SwitchTab(model_.badTab);
        if (ShowMessage(Handle(), model_.badMessage, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) !=
            IDYES) {
          FocusItem(FieldControl(model_.badField));
          return;
        }
        answers.acceptedGateways.push_back(model_.badTab);
        continue;
      case Result::kNameMissing:
        ShowMessage(Handle(), texts::kNameMissing, MB_ICONINFORMATION);
        FocusItem(IDC_PROFILE_NAME);
        return;
      case Result::kBadAddress:
        SwitchTab(model_.badTab);
        ShowMessage(Handle(), model_.badMessage, MB_ICONEXCLAMATION);
        FocusItem(FieldControl(model_.badField));
        return;
      case Result::kBadHotkey:
        ShowMessage(Handle(), model_.badMessage, MB_ICONEXCLAMATION);
        FocusItem(IDC_PROFILE_HOTKEY);
        return;
      case Result::kNotStored:
        EndStored(*this, false);
        return;
      case Result::kStored:
      case Result::kNothingStored:
        End(IDOK);
        return;
    }
  }
}

int ProfileDialog::FieldControl(ProfileEditor::Field field) {
  switch (field) {
    case ProfileEditor::Field::kMask:
      return IDC_PROFILE_MASK;
    case ProfileEditor::Field::kGateway:
      return IDC_PROFILE_GATEWAY;
    case ProfileEditor::Field::kDns1:
      return IDC_PROFILE_DNS1;
    case ProfileEditor::Field::kDns2:
      return IDC_PROFILE_DNS2;
    case ProfileEditor::Field::kAddress:
      break;
  }
  return IDC_PROFILE_ADDRESS;
}

}  // namespace

bool ShowProfileDialog(HWND owner, DialogContext& context, ProfileEditor::Kind kind,
                       std::u16string_view id, std::u16string_view name) {
  ProfileDialog dialog(context, kind, id, name);
  return dialog.RunModal(owner) == IDOK;
}

}  // namespace lumatrove
