#include "ui/model/networks_editor_model.h"

#include <algorithm>

#include "base/ascii_text.h"
#include "texts.h"

namespace lumatrove {
std::vector<std::u16string> NetworksEditor::Rows() const {
  std::vector<std::u16string> rows;
  for (const NetworkRule& rule : networks_.rules)
    rows.push_back(NetworkRuleText(rule));
  return rows;
}

std::u16string NetworksEditor::Add(NetworkRule::Kind kind, std::u16string_view typed) {
  NetworkRule rule{kind, std::u16string(kind == NetworkRule::Kind::kSsid ? typed : Trimmed(typed))};
  if (std::u16string fault = NetworkRuleFault(rule); !fault.empty()) return fault;
  if (kind == NetworkRule::Kind::kGatewayMac) {
    for (char16_t& c : rule.value)
      c = c == u':' ? u'-' : LowerAscii(c);
  }
  auto& rules = networks_.rules;
  if (std::find(rules.begin(), rules.end(), rule) == rules.end()) rules.push_back(std::move(rule));
  return {};
}

void NetworksEditor::Remove(size_t row) {
  if (row < networks_.rules.size()) networks_.rules.erase(networks_.rules.begin() + row);
}

bool NetworksEditor::AddSeen(const NetworkSighting& seen) {
  const std::vector<NetworkRule> found = RulesOf(seen);
  for (const NetworkRule& rule : found)
    Add(rule.kind, rule.value);
  return !found.empty();
}

std::u16string NetworksEditor::Fault() const {
  if (networks_.autoApply && networks_.rules.empty())
    return std::u16string(texts::kAutoApplyNeedsNetwork);
  return {};
}

}  // namespace lumatrove
