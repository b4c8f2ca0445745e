// The conflict check's questions asked at once: SendARP for an address that nobody holds
// returns only after Windows' ARP retries (seconds), while a device that holds the address
// answers within milliseconds.
#pragma once

#include <vector>

#include "netcfg/net_system.h"
#include "store/address_conflict.h"

namespace lumatrove {

// How long the window waits for all answers together.
inline constexpr unsigned kArpWaitMs = 1000;

// Asks every question on a thread of its own and waits at most `timeoutMs` in all, the
// windows painting meanwhile; an answer that comes later is not waited for (unanswered).
std::vector<ArpAnswer> AskAtOnce(NetSystem& net, const std::vector<ArpQuestion>& questions,
                                 unsigned timeoutMs);

}  // namespace lumatrove
