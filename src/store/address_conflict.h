// Before a fixed address is written: is another device on the network using it already?
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "netcfg/adapter_info.h"
#include "netcfg/net_system.h"
#include "store/profile.h"

namespace lumatrove {

struct AddressConflict {
  std::u16string connectionName;
  std::u16string address;
  std::u16string hardwareAddress;  // "aa-bb-cc-dd-ee-ff"
};

// One address to ask the network about, for the connection that would take it.
struct ArpQuestion {
  std::u16string connectionName;
  std::u16string address;
  uint32_t target = 0;  // the address in network byte order, as SendARP takes it
};

// What SendARP said about one question; `answered` is false for a question whose answer did
// not come in time.
struct ArpAnswer {
  bool answered = false;
  uint32_t result = 0;
  uint8_t mac[8] = {};
  uint32_t length = 0;
};

// The fixed addresses of `profile` worth asking about: each that its adapter does not hold
// already and that lies on a network the adapter is on now (an ARP request reaches no other
// network).
std::vector<ArpQuestion> ConflictQuestions(const Profile& profile,
                                           const std::vector<LiveAdapter>& live);
// The first question, in the profile's order, that another device answered. Nothing when
// none did, or when the system cannot ask (an answer of kErrorNotSupported).
std::optional<AddressConflict> FirstConflict(const std::vector<ArpQuestion>& questions,
                                             const std::vector<ArpAnswer>& answers);
// Asks each question in turn, for systems where asking costs nothing (the in-memory computer)
// and tests; the window asks them at once (ui/main/arp_questions.h).
std::optional<AddressConflict> FindAddressConflict(NetSystem& net, const Profile& profile,
                                                   const std::vector<LiveAdapter>& live);

}  // namespace lumatrove
