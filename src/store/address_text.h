// Tests and conversions of dotted addresses held as text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumatrove {

// Usable as an address, gateway or DNS server when the text before the first '.' is not "0"
// and the text after the last '.' is not "0" (an empty text passes).
bool IsUsableAddress(std::u16string_view text);
// Usable as a subnet mask when the text before the first '.' is not "0".
bool IsUsableMask(std::u16string_view text);

// Four decimal parts of 0 to 255 joined by dots and nothing else: no blanks, signs, leading
// zeros (which some readers take for octal) or other characters.
bool IsDottedQuad(std::u16string_view text);
// What a fixed-address connection may write: a dotted quad that is usable as an address.
bool IsFixedAddress(std::u16string_view text);
// A dotted quad usable as a mask whose one bits all lie before its zero bits, leaving at
// least one bit for the host (255.255.255.255 names no network).
bool IsFixedMask(std::u16string_view text);

// An address one host can have on a network: not in 0.0.0.0/8, the loopback 127.0.0.0/8, or
// from 224.0.0.0 up (multicast, reserved, the broadcast address).
bool IsHostAddress(uint32_t address);
// An address a DNS server can have: as a host, or a resolver on this computer (127.x.x.x).
bool IsDnsServerAddress(uint32_t address);
// The network or the broadcast address of the subnet `mask` gives `address`; a /31 has
// neither (two hosts on a point-to-point link).
bool IsSubnetNetworkOrBroadcast(uint32_t address, uint32_t mask);

// The four dot-separated parts, each read as a decimal number up to its first non-digit
// (an empty part is 0) and masked to 8 bits; the first part is the most significant byte.
uint32_t TextToAddress(std::u16string_view text);
// "a.b.c.d" of an address; "" for 0.0.0.0, the address of a blank control.
std::u16string AddressToText(uint32_t address);
// False for "0.0.0.0"; otherwise four non-empty parts, parts two to four in 0..255 and the
// first in 1..223 (not range-tested for a mask).
bool IsValidAddress(std::u16string_view text, bool mask);

}  // namespace lumatrove
