// Registry files: the forms of values, continuation lines, and refusals with their line.
#include <gtest/gtest.h>

#include "fakes/memory_registry.h"
#include "netcfg/reg_text.h"
#include "test_text.h"

namespace lumatrove {
namespace {

using test::U8;
constexpr RegRoot kHklm = RegRoot::kLocalMachine;

TEST(RegText, ValueForms) {
  MemoryRegistry reg;
  std::string error;
  ASSERT_TRUE(
      reg.Load(u"\xFEFFWindows Registry Editor Version 5.00\r\n"
               u"\r\n"
               u"; a comment\r\n"
               u"[HKEY_LOCAL_MACHINE\\System\\Test]\r\n"
               u"\"Name\"=\"a \\\"quoted\\\" \\\\ path\"\r\n"
               u"@=\"default\"\r\n"
               u"\"Flag\"=dword:0000001f\r\n"
               u"\"Multi\"=hex(7):31,00,2e,00,32,00,00,00,\\\r\n"
               u"  33,00,00,00,00,00\r\n"
               u"\"Expand\"=hex(2):25,00,00,00\r\n"
               u"\"Raw\"=hex:01,02,ff\r\n"
               u"\"Gone\"=\"x\"\r\n"
               u"\"Gone\"=-\r\n"
               u"[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"
               u"\"新細明體\"=\"AR PL UMing TW\"\r\n",
               &error))
      << error;
  EXPECT_EQ(U8(reg.StringValue(kHklm, u"system\\test", u"NAME")), "a \"quoted\" \\ path");
  EXPECT_EQ(U8(reg.StringValue(kHklm, u"System\\Test", u"")), "default");
  EXPECT_EQ(reg.FindValue(kHklm, u"System\\Test", u"Flag")->data,
            (std::vector<uint8_t>{0x1f, 0, 0, 0}));
  const auto* multi = reg.FindValue(kHklm, u"System\\Test", u"Multi");
  EXPECT_EQ(multi->type, kRegMultiSz);
  EXPECT_EQ(multi->data.size(), 14u);
  EXPECT_EQ(reg.FindValue(kHklm, u"System\\Test", u"Expand")->type, kRegExpandSz);
  EXPECT_EQ(reg.FindValue(kHklm, u"System\\Test", u"Raw")->data,
            (std::vector<uint8_t>{1, 2, 0xff}));
  EXPECT_EQ(reg.FindValue(kHklm, u"System\\Test", u"Gone"), nullptr);
  EXPECT_EQ(U8(reg.StringValue(RegRoot::kCurrentUser, u"Software\\Wine\\Fonts\\Replacements",
                               u"新細明體")),
            "AR PL UMing TW");
}

TEST(RegText, Refusals) {
  struct Case {
    std::u16string_view text;
    std::string error;
  };
  const Case cases[] = {
      {u"[HKEY_LOCAL_MACHINE\\X]\r\n", "line 1: not a registry file"},
      {u"REGEDIT4\r\n\"a\"=\"b\"\r\n", "line 2: value outside a key"},
      {u"REGEDIT4\r\n[HKEY_USERS\\X]\r\n", "line 2: unknown root HKEY_USERS"},
      {u"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"a\"=dword:1g\r\n", "line 3: bad dword"},
      {u"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"a\"=hex:1,2\r\n", "line 3: bad hex bytes"},
      {u"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"a=\"b\"\r\n", "line 3: expected '='"},
      {u"REGEDIT4\r\n[-HKEY_LOCAL_MACHINE\\X]\r\n", "line 2: key deletion not supported"},
      {u"", "line 1: not a registry file"},
  };
  for (const Case& c : cases) {
    MemoryRegistry reg;
    std::string error;
    EXPECT_FALSE(reg.Load(c.text, &error)) << U8(c.text);
    EXPECT_EQ(error, c.error) << U8(c.text);
  }
}

TEST(MemoryRegistry, SubkeysEnumerateSortedAndNamesIgnoreCase) {
  MemoryRegistry reg;
  reg.SetString(kHklm, u"Root\\b", u"v", u"1");
  reg.SetString(kHklm, u"Root\\A", u"v", u"1");
  reg.SetString(kHklm, u"Root\\0010", u"v", u"1");
  RegHandle h = 0;
  ASSERT_EQ(reg.OpenKey(kHklm, u"ROOT", RegAccess::kRead, h), 0);
  std::u16string name;
  std::string names;
  for (uint32_t i = 0; reg.EnumSubKey(h, i, name) == 0; ++i)
    names += U8(name) + " ";
  EXPECT_EQ(names, "0010 A b ");
  EXPECT_EQ(reg.EnumSubKey(h, 3, name), kErrorNoMoreItems);
  // A key opened for reading refuses changes.
  EXPECT_EQ(reg.SetValue(h, u"x", kRegSz, nullptr, 0), kErrorAccessDenied);
  uint8_t small[2];
  uint32_t size = 2;
  EXPECT_EQ(reg.QueryValue(h, u"none", nullptr, small, &size), kErrorFileNotFound);
  reg.CloseKey(h);
  ASSERT_EQ(reg.OpenKey(kHklm, u"root\\a", RegAccess::kRead, h), 0);
  EXPECT_EQ(reg.QueryValue(h, u"V", nullptr, small, &size), kErrorMoreData);
  EXPECT_EQ(size, 4u);
  reg.CloseKey(h);
  EXPECT_EQ(reg.OpenKey(kHklm, u"root\\none", RegAccess::kRead, h), kErrorFileNotFound);
}

}  // namespace
}  // namespace lumatrove
