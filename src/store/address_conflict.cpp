#include "store/address_conflict.h"

#include <algorithm>
#include <cstdio>

#include "base/ascii_text.h"
#include "store/address_text.h"

namespace lumatrove {
namespace {

// On the network of one of the adapter's live addresses.
bool OnLink(uint32_t target, const LiveAdapter& a) {
  for (size_t i = 0; i < a.addresses.size() && i < a.masks.size(); ++i) {
    const uint32_t mask = TextToAddress(a.masks[i]);
    if (mask != 0 && (TextToAddress(a.addresses[i]) & mask) == (target & mask)) return true;
  }
  return false;
}

// The address in network byte order, as SendARP takes it.
uint32_t NetworkOrder(uint32_t address) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(address >> 24),
                            static_cast<uint8_t>(address >> 16), static_cast<uint8_t>(address >> 8),
                            static_cast<uint8_t>(address)};
  uint32_t value = 0;
  std::copy(bytes, bytes + 4, reinterpret_cast<uint8_t*>(&value));
  return value;
}

}  // namespace

std::vector<ArpQuestion> ConflictQuestions(const Profile& profile,
                                           const std::vector<LiveAdapter>& live) {
  std::vector<ArpQuestion> questions;
  for (const std::unique_ptr<ConnectionSetting>& c : profile.connections) {
    if (ModeOf(*c) != ConnectionMode::kManual) continue;
    const auto adapter = std::find_if(live.begin(), live.end(), [&](const LiveAdapter& a) {
      return EqualsIgnoringAsciiCase(a.instanceId, c->instanceId);
    });
    if (adapter == live.end()) continue;
    const LiveAdapter& a = *adapter;
    // Every fixed address the connection sets, the first one's first.
    std::vector<const std::u16string*> addresses = {&c->ipAddressText};
    for (const std::u16string& more : c->moreAddresses)
      addresses.push_back(&more);
    for (const std::u16string* address : addresses) {
      if (!IsFixedAddress(*address)) continue;
      if (std::find(a.addresses.begin(), a.addresses.end(), *address) != a.addresses.end())
        continue;
      const uint32_t target = TextToAddress(*address);
      if (!OnLink(target, a)) continue;
      questions.push_back({c->connectionName, *address, NetworkOrder(target)});
    }
  }
  return questions;
}

std::optional<AddressConflict> FirstConflict(const std::vector<ArpQuestion>& questions,
                                             const std::vector<ArpAnswer>& answers) {
  for (size_t i = 0; i < questions.size() && i < answers.size(); ++i) {
    const ArpAnswer& answer = answers[i];
    if (!answer.answered) continue;
    if (answer.result == static_cast<uint32_t>(kErrorNotSupported)) return std::nullopt;
    if (answer.result != 0 || answer.length < 6) continue;
    return AddressConflict{questions[i].connectionName, questions[i].address,
                           HardwareAddressText(answer.mac, u'-')};
  }
  return std::nullopt;
}

std::optional<AddressConflict> FindAddressConflict(NetSystem& net, const Profile& profile,
                                                   const std::vector<LiveAdapter>& live) {
  const std::vector<ArpQuestion> questions = ConflictQuestions(profile, live);
  std::vector<ArpAnswer> answers;
  for (const ArpQuestion& q : questions) {
    ArpAnswer answer;
    answer.answered = true;
    answer.result = net.SendArp(q.target, answer.mac, &answer.length);
    answers.push_back(answer);
    // A system that cannot ask cannot ask about the next address either.
    if (answer.result == static_cast<uint32_t>(kErrorNotSupported)) break;
  }
  return FirstConflict(questions, answers);
}

}  // namespace lumatrove
