// Helpers for the adapter layer's tests: a computer with two adapters in a few lines.
#pragma once

#include <string>
#include <vector>

#include "fakes/memory_computer.h"
#include "netcfg/net_adapter_layer.h"

namespace lumatrove::test {

inline constexpr char16_t kLanGuid[] = u"{11111111-2222-3333-4444-555555555555}";
inline constexpr char16_t kWifiGuid[] = u"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

// A laptop: a wired adapter on DHCP and a wireless one with a fixed address.
inline void DescribeLaptop(MemoryComputer& pc) {
  pc.AddAdapter({.guid = kLanGuid,
                 .description = u"Intel(R) PRO/1000 MT Network Connection",
                 .connectionName = u"區域連線",  // 區域連線
                 .mac = "00:0c:29:3a:5b:7c",
                 .dhcp = true});
  pc.AddAdapter({.guid = kWifiGuid,
                 .description = u"Realtek RTL8188EE Wireless LAN 802.11n PCI-E NIC",
                 .connectionName = u"Wi-Fi",
                 .mac = "a4:17:31:0b:2c:9e",
                 .dhcp = false,
                 .ip = u"192.168.1.10",
                 .mask = u"255.255.255.0",
                 .gateway = u"192.168.1.1",
                 .nameServer = u"168.95.1.1,8.8.8.8"});
}

inline std::vector<uint8_t> Bytes(std::u16string_view text, int terminators) {
  std::vector<uint8_t> b;
  for (char16_t c : text) {
    b.push_back(static_cast<uint8_t>(c));
    b.push_back(static_cast<uint8_t>(c >> 8));
  }
  for (int i = 0; i < terminators; ++i) {
    b.push_back(0);
    b.push_back(0);
  }
  return b;
}

inline std::u16string TcpipKey(std::u16string_view guid) {
  return std::u16string(kTcpipInterfacesKey) + std::u16string(guid);
}

}  // namespace lumatrove::test
