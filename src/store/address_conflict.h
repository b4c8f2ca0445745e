// Before a fixed address is written: is another device on the network using it already?
#pragma once

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

// Asks the network (SendARP) about each fixed address of `profile` that its adapter does not
// hold already and that lies on a network the adapter is on now (an ARP request reaches no
// other network); the first address another device answers for, if any. Nothing is asked
// when the system cannot (kErrorNotSupported ends the check).
std::optional<AddressConflict> FindAddressConflict(NetSystem& net, const Profile& profile,
                                                   const std::vector<LiveAdapter>& live);

}  // namespace lumatrove
