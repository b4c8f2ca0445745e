// What the networks dialog of a profile ("網路位置") computes: the rows it lists, the rules a
// typed entry or what the adapters see now add, and the rules its OK button stores (or the
// message that says why not).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/network_rules.h"
#include "ui/model/auto_switch.h"

namespace lumatrove {

class NetworksEditor {
 public:
  explicit NetworksEditor(NetworkRules networks) : networks_(std::move(networks)) {}

  const NetworkRules& networks() const { return networks_; }
  // One row per rule, as NetworkRuleText says it.
  std::vector<std::u16string> Rows() const;

  // Adds the typed value (blanks around it taken off, a hardware address written as
  // "00-11-22-aa-bb-cc"); "" when added or already there, else the message naming it.
  std::u16string Add(NetworkRule::Kind kind, std::u16string_view typed);
  void Remove(size_t row);
  // "使用目前的網路": adds a rule for each gateway, Wi-Fi network and suffix seen that is not
  // there yet; false when the adapters see none at all.
  bool AddSeen(const NetworkSighting& seen);
  void SetAutoApply(bool on) { networks_.autoApply = on; }
  // OK: "" when the rules can be stored; automatic applying needs at least one rule.
  std::u16string Fault() const;

 private:
  NetworkRules networks_;
};

}  // namespace lumatrove
