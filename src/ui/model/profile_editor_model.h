// What the profile editor computes, free of any window: the connection records behind its
// tabs, what the controls show for a tab, what a tab's controls store back, the address
// suggestion, the DNS providers and the decision of its OK button.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/adapter_info.h"
#include "store/profile_store.h"
#include "ui/model/hotkey.h"
#include "xml/xml_document.h"

namespace lumatrove {

// What the controls of one tab show. An address of 0 is a blank control.
struct EditorFields {
  ConnectionMode mode = ConnectionMode::kLeaveAlone;  // one of the radio group's three
  uint32_t address = 0;
  uint32_t mask = 0;
  uint32_t gateway = 0;
  uint32_t dns1 = 0;
  uint32_t dns2 = 0;
  bool dnsAutomatic = false;     // "自動取得" beside the alternate DNS server
  bool adapterDisabled = false;  // "禁用網路卡"
};

// Which controls take input for a tab's fields.
struct EditorEnables {
  bool addressGroup = false;  // address, mask, gateway
  bool dnsGroup = false;      // both DNS servers and the provider list
  bool dnsAutomatic = false;  // the check box itself
  bool operator==(const EditorEnables&) const = default;
};
EditorEnables EnablesFor(const EditorFields& fields);

// The gateway and mask suggested for an address typed in: the address's network with host 1
// and 255.255.255.0. False (nothing suggested) when its first field is not 1 to 223.
bool SuggestGateway(uint32_t address, uint32_t& gateway, uint32_t& mask);

class ProfileEditor {
 public:
  enum class Kind { kNew, kModify, kProperties };
  enum class OkResult {
    kNameMissing,     // the name is empty or only blanks: ask for one, stay open
    kNameExists,      // a new profile's name is taken: ask whether to type another
    kBadAddress,      // a value no network can use: say badMessage, show badTab, focus badField
    kGatewayOutside,  // ask badMessage; to store anyway, add badTab to acceptedGateways
    kBadHotkey,       // the key cannot be a shortcut or another profile has it: say badMessage
    kStored,          // added or modified in the store's document; the caller saves
    kNothingStored,   // properties: the caller applies the stored profile
    kNotStored,       // the store's document took nothing (the profile is gone, or no CONFIG)
  };
  // The field of a tab that a kBadAddress result is about.
  enum class Field { kAddress, kMask, kGateway, kDns1, kDns2 };
  // What the user already answered for this OK.
  struct OkAnswers {
    bool keepTakenName = false;         // store a new profile under a name that is taken
    std::vector<int> acceptedGateways;  // tabs whose gateway outside the subnet is wanted
  };

  // New profile: one connection per adapter as it is set now, named "組態專案" and the
  // store's last ID.
  void StartNew(const std::vector<std::unique_ptr<AdapterInfo>>& adapters,
                std::u16string_view lastIdText);
  // Modify or properties: the connections of the stored profile's markup (its CONNECTION
  // elements; anything else in it is passed over).
  void StartStored(Kind kind, std::u16string_view id, std::u16string_view name,
                   std::u16string_view markup);

  // The fields of tab `tab` as the controls show them.
  EditorFields FieldsOf(int tab);
  // Stores what the controls show into the record of the current tab.
  void StoreShown(const EditorFields& shown);
  // Stores the shown fields into the current tab's record, makes `tab` current and returns
  // what its controls show.
  EditorFields SwitchTab(const EditorFields& shown, int tab);

  // OK: stores the shown fields, checks the name, the addresses of every tab as an apply
  // would (and, for a new profile, whether the name is taken) and adds or modifies the
  // profile in `store`.
  OkResult Ok(const EditorFields& shown, ProfileStore& store, const OkAnswers& answers);
  OkResult Ok(const EditorFields& shown, ProfileStore& store) {
    return Ok(shown, store, OkAnswers());
  }

  // DNS providers: their names from the configuration document, false when it has no list;
  // the provider's addresses put into `fields` (a missing one leaves its field alone).
  bool LoadDnsProviders(XmlDocument& document);
  bool ApplyDnsProvider(XmlDocument& document, std::u16string_view name,
                        EditorFields& fields) const;

  Kind kind = Kind::kNew;
  std::vector<ConnectionSetting> connections;
  int currentTab = -1;
  std::u16string profileName;
  std::u16string profileId;
  std::u16string originalName;
  Hotkey hotkey;          // the profile's keyboard shortcut; empty for none
  ProxySetting proxy;     // the profile's proxy; leave alone for none
  NetworkRules networks;  // the networks it belongs to; none for none
  std::vector<std::u16string> dnsProviders;
  // After kBadAddress and kGatewayOutside: the tab to show, the message or question, and
  // the field to put the cursor in.
  int badTab = -1;
  std::u16string badMessage;
  Field badField = Field::kAddress;

 private:
  // Checks the connection of tab `tab`; false with bad* set when it cannot be applied.
  bool CheckConnection(size_t tab, const OkAnswers& answers, OkResult& result);
};

// What a control shows for a stored text: the address when the text is one the control can
// take, else 0 (blank).
uint32_t ShownAddress(std::u16string_view text, bool mask);

}  // namespace lumatrove
