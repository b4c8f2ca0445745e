// Enabling and disabling a device through the device installer.
#include <gtest/gtest.h>

#include "netcfg_test_util.h"

namespace lumatrove {
namespace {

MemoryComputer::Device Pci(std::optional<std::u16string> description) {
  MemoryComputer::Device d;
  d.description = std::move(description);
  return d;
}

TEST(SetDeviceEnabled, MatchesTheFirstExactDescription) {
  MemoryComputer pc;
  pc.devices = {Pci(u"Display"), Pci(std::nullopt), Pci(u"Intel NIC"), Pci(u"Intel NIC")};
  NetAdapterLayer layer(pc);
  EXPECT_TRUE(layer.SetDeviceEnabled(false, u"Intel NIC", u"PCI"));
  ASSERT_EQ(pc.propertyChanges.size(), 1u);
  const auto& change = pc.propertyChanges[0];
  EXPECT_EQ(change.device, 2u);  // the first of two equal descriptions
  EXPECT_EQ(change.stateChange, kDicsDisable);
  EXPECT_EQ(change.scope, kDicsFlagConfigSpecific);
  EXPECT_EQ(change.hwProfile, 0u);
  EXPECT_TRUE(change.installerCalled);
  EXPECT_FALSE(pc.devices[2].enabled);
  EXPECT_TRUE(pc.devices[3].enabled);
  EXPECT_EQ(pc.OpenDeviceSets(), 0u);

  EXPECT_TRUE(layer.SetDeviceEnabled(true, u"Intel NIC", u""));  // bus type not consulted
  EXPECT_EQ(pc.propertyChanges[1].stateChange, kDicsEnable);
  EXPECT_TRUE(pc.devices[2].enabled);
}

TEST(SetDeviceEnabled, NoMatch) {
  MemoryComputer pc;
  pc.devices = {Pci(u"Intel NIC")};
  MemoryComputer::Device usb = Pci(u"USB NIC");
  usb.enumerator = u"USB";
  pc.devices.push_back(usb);
  NetAdapterLayer layer(pc);
  EXPECT_FALSE(layer.SetDeviceEnabled(false, u"intel nic", u"PCI"));  // letter case matters
  EXPECT_FALSE(layer.SetDeviceEnabled(false, u"Intel", u"PCI"));      // whole text
  EXPECT_FALSE(layer.SetDeviceEnabled(false, u"USB NIC", u"PCI"));    // not on the PCI bus
  EXPECT_TRUE(pc.propertyChanges.empty());
}

TEST(SetDeviceEnabled, InstallerRefusalAndErrors) {
  MemoryComputer pc;
  pc.devices = {Pci(u"NIC")};
  pc.devices[0].installerRefuses = true;
  NetAdapterLayer layer(pc);
  EXPECT_FALSE(layer.SetDeviceEnabled(false, u"NIC", u"PCI"));
  EXPECT_EQ(pc.GetLastError(), static_cast<uint32_t>(kErrorAccessDenied));  // kept for the caller

  // Any other error of the description read ends the search with that error.
  MemoryComputer other;
  other.devices = {Pci(u"A"), Pci(u"NIC")};
  other.devices[0].descriptionError = 1168;  // ERROR_NOT_FOUND
  NetAdapterLayer layer2(other);
  EXPECT_FALSE(layer2.SetDeviceEnabled(true, u"NIC", u"PCI"));
  EXPECT_EQ(other.GetLastError(), 1168u);
  EXPECT_TRUE(other.propertyChanges.empty());
  EXPECT_EQ(other.OpenDeviceSets(), 0u);
}

}  // namespace
}  // namespace lumatrove
