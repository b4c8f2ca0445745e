// The proxy and network parts of a profile: what is refused, how they are stored, and that
// a reader that does not know them (the profile's content, as older versions apply it) never
// sees them.
#include <gtest/gtest.h>

#include "store/network_rules.h"
#include "store/proxy_setting.h"
#include "test_text.h"

namespace lumatrove {
namespace {

using Mode = ProxySetting::Mode;
using test::U8;

TEST(ProxySetting, RefusesWhatWinInetCouldNotUseNamingIt) {
  struct Case {
    ProxySetting proxy;
    const char* fault;  // a part of the message; "" when it can be applied
  };
  const Case cases[] = {
      {{Mode::kServer, u"proxy.example.com:8080"}, ""},
      {{Mode::kServer, u"10.0.0.1:3128", u"*.corp.example; 10.* ;intranet", true}, ""},
      {{Mode::kServer, u"proxy:65535"}, ""},
      {{Mode::kServer, u"proxy"}, "「proxy」"},  // no port
      {{Mode::kServer, u"proxy:0"}, "「proxy:0」"},
      {{Mode::kServer, u"proxy:65536"}, "「proxy:65536」"},
      {{Mode::kServer, u"proxy:080"}, "「proxy:080」"},
      {{Mode::kServer, u"-proxy.example:80"}, "「-proxy.example:80」"},
      {{Mode::kServer, u"10.0.0.256:80"}, "「10.0.0.256:80」"},
      {{Mode::kServer, u"pro xy:80"}, "「pro xy:80」"},
      {{Mode::kServer, u"proxy:80", u"ok.example;bad/path"}, "「bad/path」"},
      {{Mode::kScript, u"", u"", false, u"https://wpad.example/proxy.pac"}, ""},
      {{Mode::kScript, u"", u"", false, u"http://10.1.1.1:8080/p.pac?x=1"}, ""},
      {{Mode::kScript, u"", u"", false, u"file://c:/p.pac"}, "「file://c:/p.pac」"},
      {{Mode::kScript, u"", u"", false, u"http://wpad/p ac"}, "「http://wpad/p ac」"},
      {{Mode::kScript, u"", u"", false, u"https://"}, "「https://」"},
      {{Mode::kOff}, ""},
      {{Mode::kDetect}, ""},
  };
  for (const Case& c : cases) {
    const std::string fault = U8(ProxyFault(c.proxy));
    if (*c.fault == 0) {
      EXPECT_EQ(fault, "") << U8(c.proxy.server) << U8(c.proxy.scriptUrl);
    } else {
      EXPECT_NE(fault.find(c.fault), std::string::npos) << fault;
    }
  }
  EXPECT_EQ(U8(ProxyBypassList({Mode::kServer, u"p:1", u" a.example ;;10.*", true})),
            "a.example;10.*;<local>");
}

TEST(ProxySetting, StoredAsAttributesThatTheContentLeavesOut) {
  XmlDocument d;
  d.SetDocument(
      u"<CONFIG><NETSETING NAME=\"a\" ID=\"1\"><CONNECTION NAME=\"LAN\" TYPE=\"1\"/>"
      u"</NETSETING></CONFIG>");
  d.ResetPosition();
  ASSERT_TRUE(d.FindElement(u"CONFIG") && d.EnterElement() && d.FindElement(u"NETSETING"));
  // Leaving the proxy alone writes nothing.
  const std::u16string before = d.GetDocument();
  WriteProxySetting(d, {});
  EXPECT_EQ(d.GetDocument(), before);

  const ProxySetting server{Mode::kServer, u"proxy:8080", u"*.corp", true, u""};
  WriteProxySetting(d, server);
  EXPECT_EQ(ReadProxySetting(d), server);
  EXPECT_EQ(U8(d.GetElementContent()), "<CONNECTION NAME=\"LAN\" TYPE=\"1\"/>");
  // Another mode drops what only the server used; leaving alone afterwards keeps PROXY="".
  WriteProxySetting(d, {Mode::kDetect});
  EXPECT_EQ(ReadProxySetting(d), (ProxySetting{Mode::kDetect}));
  EXPECT_EQ(d.GetAttribute(u"PROXYSERVER"), u"");
  WriteProxySetting(d, {});
  EXPECT_EQ(ReadProxySetting(d), ProxySetting{});
  // A mode of no meaning leaves the proxy alone.
  d.SetAttribute(u"PROXY", u"socks");
  EXPECT_EQ(ReadProxySetting(d).mode, Mode::kLeaveAlone);
}

TEST(NetworkRules, RefusesWhatNoNetworkCouldShowNamingIt) {
  using Kind = NetworkRule::Kind;
  struct Case {
    NetworkRule rule;
    bool kept;
  };
  const Case cases[] = {
      {{Kind::kGatewayMac, u"00-11-22-aa-BB-cc"}, true},
      {{Kind::kGatewayMac, u"00:11:22:33:44:55"}, true},
      {{Kind::kGatewayMac, u"00-11-22-33-44"}, false},
      {{Kind::kGatewayMac, u"00-11-22-33-44-5g"}, false},
      {{Kind::kGatewayMac, u"001-12-23-34-45-56"}, false},
      {{Kind::kSsid, u"辦公室 Wi-Fi"}, true},
      {{Kind::kSsid, std::u16string(32, u'x')}, true},
      {{Kind::kSsid, std::u16string(11, u'網')}, false},  // 33 bytes in UTF-8
      {{Kind::kSsid, u""}, false},
      {{Kind::kSsid, u"a\tb"}, false},  // a control character
      {{Kind::kDnsSuffix, u"corp.example."}, true},
      {{Kind::kDnsSuffix, u"10.0.0.1"}, false},
      {{Kind::kDnsSuffix, u"corp..example"}, false},
  };
  for (const Case& c : cases) {
    const std::u16string fault = NetworkRuleFault(c.rule);
    EXPECT_EQ(fault.empty(), c.kept) << U8(c.rule.value);
    if (!c.kept) {
      EXPECT_NE(fault.find(u"「" + c.rule.value + u"」"), std::u16string::npos);
    }
  }
}

TEST(NetworkRules, StoredAsAttributesWithTheirSeparatorsEscaped) {
  using Kind = NetworkRule::Kind;
  XmlDocument d;
  d.SetDocument(u"<NETSETING NAME=\"a\" ID=\"1\"><CONNECTION TYPE=\"1\"/></NETSETING>");
  d.ResetPosition();
  ASSERT_TRUE(d.FindElement(u"NETSETING"));
  const std::u16string untouched = d.GetDocument();
  WriteNetworkRules(d, {});
  EXPECT_EQ(d.GetDocument(), untouched);
  const NetworkRules rules{{{Kind::kSsid, u"a;b\\c"}, {Kind::kGatewayMac, u"00-11-22-33-44-55"}},
                           true};
  WriteNetworkRules(d, rules);
  EXPECT_EQ(d.GetAttribute(u"NETWORKS"), u"ssid:a\\;b\\\\c;gw:00-11-22-33-44-55");
  EXPECT_EQ(ReadNetworkRules(d), rules);
  EXPECT_EQ(d.GetElementContent(), u"<CONNECTION TYPE=\"1\"/>");
  d.SetAttribute(u"NETWORKS", u"wlan:x;ssid:;gw:aa");  // unknown kinds and empty values
  EXPECT_EQ(ReadNetworkRules(d).rules, (std::vector<NetworkRule>{{Kind::kGatewayMac, u"aa"}}));
}

}  // namespace
}  // namespace lumatrove
