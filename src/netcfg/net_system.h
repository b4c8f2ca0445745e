// What the network adapter layer needs from the operating system, in one small interface:
// the registry, the IP Helper adapter table, the version, the DHCP client library, the device
// installer, netsh, the system's error texts, message boxes, the ANSI code page and inet_addr.
// Win32NetSystem is the real one; MemoryComputer describes a computer in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/code_page.h"
#include "netcfg/registry.h"

namespace lumatrove {

struct OsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t platformId = 0;  // 1 Windows 9x, 2 NT
};

// One entry of the IP Helper adapter table, as the layer reads it: the adapter and what
// Windows uses on it now. Addresses, masks and gateways are dotted ANSI texts.
struct IpAdapterEntry {
  std::string adapterName;  // ANSI, at most 260 characters
  uint8_t address[8] = {};
  uint32_t addressLength = 0;
  uint32_t index = 0;
  bool dhcpEnabled = false;
  std::vector<std::string> ipAddresses;  // with the mask of the same index
  std::vector<std::string> ipMasks;
  std::vector<std::string> gateways;
};

// The DHCP client library while it is loaded ("dhcpcsvc"); destroying it unloads it.
class DhcpClientLibrary {
 public:
  virtual ~DhcpClientLibrary() = default;
  // GetProcAddress of "DhcpNotifyConfigChange".
  virtual bool HasNotifyConfigChange() = 0;
  // Calls DhcpNotifyConfigChange with its seven arguments; returns its result (0: success).
  virtual uint32_t NotifyConfigChange(const char16_t* serverName, const char16_t* adapterName,
                                      bool newIpAddress, uint32_t ipIndex, uint32_t ipAddress,
                                      uint32_t subnetMask, int action) = 0;
};

using DeviceSet = uintptr_t;  // 0: invalid

// Property-change values passed to the class installer.
constexpr uint32_t kDicsEnable = 1;
constexpr uint32_t kDicsDisable = 2;
constexpr uint32_t kDicsFlagConfigSpecific = 2;

class NetSystem {
 public:
  virtual ~NetSystem() = default;

  virtual Registry& registry() = 0;
  virtual const AnsiCodePage& codePage() = 0;

  // GetVersionExW; false when it fails.
  virtual bool GetVersion(OsVersion& version) = 0;

  // GetAdaptersInfo with its buffer-size protocol: kErrorBufferOverflow and the size needed
  // in `size` when the buffer is too small. ReadAdapterTable walks a buffer that a successful
  // call filled.
  virtual uint32_t GetAdaptersInfo(uint8_t* buffer, uint32_t* size) = 0;
  virtual std::vector<IpAdapterEntry> ReadAdapterTable(const uint8_t* buffer, uint32_t size) = 0;
  // The DNS servers Windows uses now on the adapter of `index` (GetPerAdapterInfo); none when
  // the call fails.
  virtual std::vector<std::string> GetAdapterDnsServers(uint32_t index) = 0;
  // SendARP: asks the local network which device holds `destination` (network byte order).
  // 0 and the hardware address in `mac` (`length` bytes) when one answered; otherwise the
  // error (kErrorNotSupported where the system cannot ask).
  virtual uint32_t SendArp(uint32_t destination, uint8_t mac[8], uint32_t* length) = 0;
  // The names (SSIDs) of the Wi-Fi networks the adapters are connected to, through the
  // WLAN service where the system has one (XP SP3 and later); none where it has not.
  virtual std::vector<std::u16string> ConnectedWifiNetworks() = 0;

  // Runs %SystemRoot%\System32\netsh.exe hidden with `arguments` and waits for it to end;
  // its exit code, or nothing when it could not be started or did not end in time.
  virtual std::optional<uint32_t> RunNetsh(std::u16string_view arguments) = 0;

  // LoadLibraryW("dhcpcsvc"); null when the library cannot be loaded.
  virtual std::unique_ptr<DhcpClientLibrary> LoadDhcpClient() = 0;

  // The device installer, on the devices of one enumerator (all classes).
  virtual DeviceSet GetDevices(std::u16string_view enumerator) = 0;
  // SetupDiEnumDeviceInfo: false past the last device.
  virtual bool EnumDevice(DeviceSet set, uint32_t index) = 0;
  // SetupDiGetDeviceRegistryPropertyW(SPDRP_DEVICEDESC) for the device of `index`: `required`
  // receives the size needed; on failure the thread's last error tells why
  // (kErrorInsufficientBuffer, kErrorInvalidData when the device has no description).
  virtual bool GetDeviceDescription(DeviceSet set, uint32_t index, uint8_t* buffer, uint32_t size,
                                    uint32_t* required) = 0;
  // SetupDiSetClassInstallParamsW with SP_PROPCHANGE_PARAMS (DIF_PROPERTYCHANGE).
  virtual bool SetPropertyChangeParams(DeviceSet set, uint32_t index, uint32_t stateChange,
                                       uint32_t scope, uint32_t hwProfile) = 0;
  // SetupDiCallClassInstaller(DIF_PROPERTYCHANGE).
  virtual bool CallPropertyChange(DeviceSet set, uint32_t index) = 0;
  virtual void DestroyDevices(DeviceSet set) = 0;
  virtual uint32_t GetLastError() = 0;
  virtual void SetLastError(uint32_t code) = 0;

  // The system's message for an error code (FormatMessageW), "" when it has none.
  virtual std::u16string ErrorText(uint32_t code) = 0;
  // A message box over no window; returns the button pressed (IDOK is 1).
  virtual int ShowMessage(std::u16string_view text, std::u16string_view caption,
                          uint32_t flags) = 0;
  // The program's name as message boxes carry it.
  virtual std::u16string ApplicationName() = 0;
  // inet_addr of an ANSI dotted address (network byte order), 0xFFFFFFFF when it is none.
  virtual uint32_t InetAddr(const std::string& text) = 0;
};

// Message box flags and results used by the core.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbIconHand = 0x10;
constexpr uint32_t kMbIconError = 0x10;
constexpr uint32_t kMbIconQuestion = 0x20;
constexpr uint32_t kMbIconExclamation = 0x30;
constexpr uint32_t kMbIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// The classic inet_addr of BSD and Windows Sockets: one to four parts separated by dots, each
// decimal, octal (leading 0) or hexadecimal (0x); the last part fills the remaining bytes.
// Returns the address in network byte order as stored in memory, or 0xFFFFFFFF.
uint32_t ParseInetAddr(const std::string& text);

}  // namespace lumatrove
