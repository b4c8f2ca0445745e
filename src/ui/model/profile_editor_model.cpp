#include "ui/model/profile_editor_model.h"

#include <algorithm>

#include "store/address_text.h"
#include "store/connection_check.h"
#include "store/dns_providers.h"
#include "texts.h"
#include "ui/model/backup_model.h"
#include "ui/model/current_config_model.h"

namespace lumatrove {

using namespace std::string_view_literals;

EditorEnables EnablesFor(const EditorFields& f) {
  switch (f.mode) {
    case ConnectionMode::kAutomatic:
      return {false, !f.dnsAutomatic, true};
    case ConnectionMode::kManual:
      return {true, true, false};
    case ConnectionMode::kLeaveAlone:
    case ConnectionMode::kUnknown:
      break;
  }
  return {};
}

bool SuggestGateway(uint32_t address, uint32_t& gateway, uint32_t& mask) {
  const uint32_t first = address >> 24;
  if (first < 1 || first > 223) return false;
  gateway = (address & 0xFFFFFF00u) | 1u;
  mask = 0xFFFFFF00u;
  return true;
}

uint32_t ShownAddress(std::u16string_view text, bool mask) {
  if (text.empty() || !IsValidAddress(text, mask)) return 0;
  return TextToAddress(text);
}

void ProfileEditor::StartNew(const std::vector<std::unique_ptr<AdapterInfo>>& adapters,
                             std::u16string_view lastIdText) {
  kind = Kind::kNew;
  profileName = texts::kNewProfileName;
  profileName += lastIdText;
  connections.clear();
  for (const std::unique_ptr<AdapterInfo>& a : adapters) {
    // The adapter's settings as they are now; an adapter on DHCP starts as automatic.
    connections.push_back(ConnectionOf(*a));
  }
  currentTab = -1;
}

void ProfileEditor::StartStored(Kind k, std::u16string_view id, std::u16string_view name,
                                std::u16string_view markup) {
  kind = k;
  profileId = id;
  originalName = name;
  profileName = name;
  connections.clear();
  XmlDocument d;
  d.SetDocument(markup);
  // Elements of other names are not connections; what a CONNECTION lacks stays empty.
  while (d.FindElement(u"CONNECTION"sv)) {
    ConnectionSetting c;
    ReadConnection(d, c);
    if (!Configures(c)) c.dhcpEnabled = CodeOf(ConnectionMode::kLeaveAlone);
    connections.push_back(std::move(c));
  }
  currentTab = -1;
}

EditorFields ProfileEditor::FieldsOf(int tab) {
  EditorFields f;
  if (tab < 0 || static_cast<size_t>(tab) >= connections.size()) return f;
  ConnectionSetting& c = connections[static_cast<size_t>(tab)];
  f.address = ShownAddress(c.ipAddressText, false);
  f.mask = ShownAddress(c.subnetMaskText, true);
  f.gateway = ShownAddress(c.gatewayText, false);
  f.dns1 = ShownAddress(c.primaryDns, false);
  f.dns2 = ShownAddress(c.secondaryDns, false);
  f.adapterDisabled = c.statusEnabled == 0;
  if (ModeOf(c) == ConnectionMode::kAutomatic) {
    f.mode = ConnectionMode::kAutomatic;
    f.dnsAutomatic = c.dnsServers.empty() && c.primaryDns.empty() && c.secondaryDns.empty() &&
                     c.moreDnsServers.empty();
    if (f.dnsAutomatic) f.dns1 = f.dns2 = 0;
  } else if (ModeOf(c) == ConnectionMode::kManual) {
    f.mode = ConnectionMode::kManual;
  } else {
    c.dhcpEnabled = CodeOf(ConnectionMode::kLeaveAlone);
    f.mode = ConnectionMode::kLeaveAlone;
  }
  return f;
}

void ProfileEditor::StoreShown(const EditorFields& shown) {
  if (currentTab < 0 || static_cast<size_t>(currentTab) >= connections.size()) return;
  ConnectionSetting& c = connections[static_cast<size_t>(currentTab)];
  c.statusEnabled = shown.adapterDisabled ? 0 : 1;
  switch (shown.mode) {
    case ConnectionMode::kLeaveAlone:
    case ConnectionMode::kUnknown:
      c.dhcpEnabled = CodeOf(ConnectionMode::kLeaveAlone);
      break;
    case ConnectionMode::kAutomatic:
      // The addresses stay as they were; they come back when the tab is set to manual.
      c.dhcpEnabled = CodeOf(ConnectionMode::kAutomatic);
      c.primaryDns = shown.dnsAutomatic ? u"" : AddressToText(shown.dns1);
      c.secondaryDns = shown.dnsAutomatic ? u"" : AddressToText(shown.dns2);
      c.dnsServers.clear();
      if (shown.dnsAutomatic) c.moreDnsServers.clear();  // no fixed server at all
      break;
    case ConnectionMode::kManual:
      c.dhcpEnabled = CodeOf(ConnectionMode::kManual);
      c.ipAddressText = AddressToText(shown.address);
      c.subnetMaskText = AddressToText(shown.mask);
      c.gatewayText = AddressToText(shown.gateway);
      c.primaryDns = AddressToText(shown.dns1);
      c.secondaryDns = AddressToText(shown.dns2);
      c.dnsServers.clear();
      break;
  }
}

EditorFields ProfileEditor::SwitchTab(const EditorFields& shown, int tab) {
  StoreShown(shown);
  currentTab = tab;
  return FieldsOf(tab);
}

bool ProfileEditor::CheckConnection(size_t tab, const OkAnswers& answers, OkResult& result) {
  const ConnectionSetting& c = connections[tab];
  if (!Configures(c)) return true;
  badTab = static_cast<int>(tab);
  badField = Field::kAddress;
  result = OkResult::kBadAddress;
  // A blank address or mask is a field still to fill in, not a wrong value.
  if (ModeOf(c) == ConnectionMode::kManual &&
      (c.ipAddressText.empty() || c.subnetMaskText.empty())) {
    if (!c.ipAddressText.empty()) badField = Field::kMask;
    badMessage = texts::BadManualConnection(c.connectionName);
    return false;
  }
  const ConnectionPlan plan = PlanConnection(ValuesOf(c));
  if (!plan.Usable()) {
    switch (plan.fault) {
      case ConnectionFault::kMask:
        badField = Field::kMask;
        break;
      case ConnectionFault::kGateway:
        badField = Field::kGateway;
        break;
      case ConnectionFault::kDns:
        badField = plan.faultValue == c.primaryDns ? Field::kDns1 : Field::kDns2;
        break;
      default:
        break;
    }
    badMessage = ConnectionFaultMessage(c.connectionName, plan);
    return false;
  }
  const bool accepted = std::find(answers.acceptedGateways.begin(), answers.acceptedGateways.end(),
                                  badTab) != answers.acceptedGateways.end();
  if (plan.gatewayOutsideSubnet && !accepted) {
    badField = Field::kGateway;
    badMessage = texts::GatewayOutsideSubnet(c.connectionName, c.gatewayText);
    result = OkResult::kGatewayOutside;
    return false;
  }
  badTab = -1;
  badMessage.clear();
  return true;
}

ProfileEditor::OkResult ProfileEditor::Ok(const EditorFields& shown, ProfileStore& store,
                                          const OkAnswers& answers) {
  StoreShown(shown);
  badTab = -1;
  badMessage.clear();
  if (!IsUsableProfileName(profileName)) return OkResult::kNameMissing;
  if (kind == Kind::kProperties) return OkResult::kNothingStored;
  // What every apply of the profile would refuse is caught here, where it can still be
  // typed in.
  for (size_t i = 0; i < connections.size(); ++i) {
    OkResult result;
    if (!CheckConnection(i, answers, result)) return result;
  }
  if (!hotkey.empty()) {
    const std::u16string_view own = kind == Kind::kModify ? std::u16string_view(profileId) : u"";
    if (!IsUsableHotkey(hotkey)) {
      badMessage = texts::kHotkeyUnusable;
      return OkResult::kBadHotkey;
    }
    if (const Profile* other = ProfileWithHotkey(store.profiles, hotkey, own)) {
      badMessage = texts::HotkeyTaken(HotkeyText(hotkey), other->name);
      return OkResult::kBadHotkey;
    }
  }
  if (kind == Kind::kModify) {
    return store.ModifyProfile(profileId, profileName, ConnectionList(connections)) &&
                   store.SetProfileHotkey(profileId, HotkeyText(hotkey)) &&
                   store.SetProfileProxy(profileId, proxy) &&
                   store.SetProfileNetworks(profileId, networks)
               ? OkResult::kStored
               : OkResult::kNotStored;
  }
  if (!answers.keepTakenName && store.ProfileNameExists(profileName)) return OkResult::kNameExists;
  return store.AddProfile(profileName, ConnectionList(connections)) &&
                 store.SetProfileHotkey(store.GetLastIdText(), HotkeyText(hotkey)) &&
                 store.SetProfileProxy(store.GetLastIdText(), proxy) &&
                 store.SetProfileNetworks(store.GetLastIdText(), networks)
             ? OkResult::kStored
             : OkResult::kNotStored;
}

bool ProfileEditor::LoadDnsProviders(XmlDocument& document) {
  dnsProviders.clear();
  std::optional<std::vector<std::u16string>> names = LoadDnsProviderNames(document);
  if (!names) return false;
  dnsProviders = std::move(*names);
  return true;
}

bool ProfileEditor::ApplyDnsProvider(XmlDocument& document, std::u16string_view name,
                                     EditorFields& fields) const {
  const std::optional<DnsProvider> provider = FindDnsProvider(document, name);
  if (!provider) return false;
  if (provider->preferred) fields.dns1 = TextToAddress(*provider->preferred);
  if (provider->alternate) fields.dns2 = TextToAddress(*provider->alternate);
  return true;
}

}  // namespace lumatrove
