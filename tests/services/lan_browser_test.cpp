// The LAN computer list over an in-memory network: its order, names, and that every entry
// of a container is read however many there are.
#include <gtest/gtest.h>

#include "fakes/memory_net_enum.h"
#include "test_text.h"

namespace lumatrove {
namespace {

using test::U8;

NetResource Entry(std::u16string remote) {
  NetResource r;
  r.remoteName = std::move(remote);
  r.provider = u"Microsoft Windows Network";
  return r;
}

// Provider "Microsoft Windows Network" with the workgroups and computers given.
MemoryNetEnum Network(
    const std::vector<std::pair<std::u16string, std::vector<std::u16string>>>& workgroups) {
  MemoryNetEnum net;
  net.containers[u""] = {Entry(u"Microsoft Windows Network")};
  auto& groups = net.containers[u"Microsoft Windows Network"];
  for (const auto& [group, computers] : workgroups) {
    groups.push_back(Entry(group));
    auto& list = net.containers[group];
    for (const std::u16string& c : computers)
      list.push_back(Entry(u"\\\\" + c));
  }
  return net;
}

std::string Joined(const std::vector<std::u16string>& names) {
  std::string s;
  for (const auto& n : names)
    s += U8(n) + " ";
  return s;
}

TEST(LanComputers, LastWorkgroupFirstEachInItsOrder) {
  MemoryNetEnum net = Network({{u"A", {u"a1", u"a2"}}, {u"B", {u"b1"}}});
  EXPECT_EQ(Joined(LanComputerNames(net)), "b1 a1 a2 ");
  MemoryNetEnum office = Network({{u"WORKGROUP", {u"OFFICE-PC", u"會計室"}}});
  EXPECT_EQ(Joined(LanComputerNames(office)), "OFFICE-PC 會計室 ");
}

TEST(LanComputers, EveryEntryOfALargeContainerIsRead) {
  std::vector<std::u16string> many;
  for (int i = 0; i < 3000; ++i)
    many.push_back(u"PC-" + test::U16(std::to_string(i)));
  // One name longer than the first buffer holds.
  many.push_back(std::u16string(20000, u'x'));
  MemoryNetEnum net = Network({{u"BIG", many}});
  const std::vector<std::u16string> names = LanComputerNames(net);
  ASSERT_EQ(names.size(), many.size());
  EXPECT_EQ(U8(names[2999]), "PC-2999");
  EXPECT_EQ(names.back().size(), 20000u);
  EXPECT_GT(net.reads, 10);  // read in many chunks, not once
}

TEST(LanComputers, WhatCannotBeReadIsLeftOut) {
  MemoryNetEnum net = Network({{u"A", {u"a1"}}, {u"LOCKED", {u"x"}}, {u"B", {u"b1"}}});
  net.unreadable = {u"LOCKED"};
  EXPECT_EQ(Joined(LanComputerNames(net)), "b1 a1 ");
  MemoryNetEnum none;  // no network at all
  EXPECT_TRUE(LanComputerNames(none).empty());
  std::vector<NetResource> out;
  EXPECT_FALSE(ReadContainer(none, nullptr, out));
}

}  // namespace
}  // namespace lumatrove
