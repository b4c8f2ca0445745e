// Reading the DNS provider list.
#include <gtest/gtest.h>

#include "store/dns_providers.h"
#include "test_text.h"

namespace lumatrove {
namespace {

using test::U8;

TEST(DnsProviders, NamesAndLookup) {
  XmlDocument d;
  d.SetDocument(
      u"<LUMATROVE><CONFIG/><DNS VERSION=\"2.0\">"
      u"<PROVINCE NAME=\"HiNet\"><IP>168.95.1.1</IP><IP>168.95.192.1</IP></PROVINCE>"
      u"<X NAME=\"Google\"><A>8.8.8.8</A><B>8.8.4.4</B></X>"
      u"<PROVINCE NAME=\"HiNet\"><IP>1.1.1.1</IP></PROVINCE>"
      u"<PROVINCE NAME=\"One\"><IP>9.9.9.9</IP></PROVINCE>"
      u"<PROVINCE/></DNS></LUMATROVE>");
  const auto names = LoadDnsProviderNames(d);
  ASSERT_TRUE(names.has_value());
  ASSERT_EQ(names->size(), 5u);
  EXPECT_EQ(U8((*names)[1]), "Google");
  EXPECT_EQ(U8((*names)[4]), "");

  const auto hinet = FindDnsProvider(d, u"HiNet");  // the first of two
  ASSERT_TRUE(hinet.has_value());
  EXPECT_EQ(U8(*hinet->preferred), "168.95.1.1");
  EXPECT_EQ(U8(*hinet->alternate), "168.95.192.1");
  const auto one = FindDnsProvider(d, u"One");
  EXPECT_EQ(U8(*one->preferred), "9.9.9.9");
  EXPECT_FALSE(one->alternate.has_value());
  EXPECT_FALSE(FindDnsProvider(d, u"hinet").has_value());
  EXPECT_FALSE(FindDnsProvider(d, u"None").has_value());

  d.SetDocument(u"<LUMATROVE><DNS VERSION=\"2.0\" /></LUMATROVE>");
  EXPECT_TRUE(LoadDnsProviderNames(d)->empty());
  d.SetDocument(u"<LUMATROVE/>");
  EXPECT_FALSE(LoadDnsProviderNames(d).has_value());
}

}  // namespace
}  // namespace lumatrove
