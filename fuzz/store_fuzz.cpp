// Drives ProfileStore with configuration documents built from arbitrary bytes. A list is read,
// the document is replaced by an edited one and the list read again: the store keeps the
// records of unchanged profiles, and its list must equal the one a fresh store reads. Then
// every profile is applied to a computer in memory and the profile operations run; after them
// the document's index must still match its text and, for a well-formed document, the list
// read again must again equal a fresh store's. A 1.x file is imported now and then.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "fakes/memory_computer.h"
#include "profile_list_text.h"
#include "fakes/memory_store_system.h"
#include "store/profile_store.h"

using namespace lumatrove;

namespace {

// Texts of arbitrary units, or one of a few that the store gives a meaning to.
std::u16string TakeValue(FuzzedDataProvider& in) {
  static const char16_t* const kValues[] = {
      u"",        u"0",         u"1",       u"2",        u"192.168.1.10", u"255.255.255.0",
      u"0.0.0.0", u"10.0.0.0",  u"8.8.8.8", u"{guid-1}", u"{guid-2}",     u"00:0c:29:00:00:01",
      u"a&amp;b", u"&lt;x&gt;", u"&#x3c;",  u"辦公室",   u"\"",           u"'"};
  if (in.ConsumeIntegralInRange(0, 3) != 0) {
    return kValues[in.ConsumeIntegralInRange<size_t>(0, std::size(kValues) - 1)];
  }
  const std::string bytes = in.ConsumeRandomLengthString(12);
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  if (bytes.size() % 2 != 0) text.push_back(static_cast<unsigned char>(bytes.back()));
  return text;
}

std::u16string Attribute(FuzzedDataProvider& in, std::u16string_view name) {
  std::u16string a = u" ";
  a += name;
  a += u"=\"";
  a += TakeValue(in);
  a += u"\"";
  return a;
}

// Now and then a piece of markup that spoils or extends the structure.
void MaybeJunk(FuzzedDataProvider& in, std::u16string& text) {
  static const char16_t* const kJunk[] = {u"<",
                                          u">",
                                          u"</IP>",
                                          u"</CONNECTION>",
                                          u"<IP>",
                                          u"<!-- -->",
                                          u"<X/>",
                                          u"</NETSETING>",
                                          u"&amp;",
                                          u"\r\n",
                                          u"<![CDATA[<IP>]]>",
                                          u"</CONFIG>"};
  if (in.ConsumeIntegralInRange(0, 15) == 0) {
    text += kJunk[in.ConsumeIntegralInRange<size_t>(0, std::size(kJunk) - 1)];
  }
}

std::u16string Connection(FuzzedDataProvider& in) {
  std::u16string c = u"<CONNECTION";
  for (const char16_t* name :
       {u"NAME", u"GUID", u"NETCARD", u"MACCODE", u"MACCODEN", u"EnableCheck", u"TYPE"}) {
    if (in.ConsumeIntegralInRange(0, 7) != 0) c += Attribute(in, name);
  }
  c += u">";
  static const char16_t* const kGroups[] = {u"IPADD", u"MASKADD", u"GATEWAY", u"DNSADD", u"OTHER"};
  const int groups = in.ConsumeIntegralInRange(0, 6);
  for (int g = 0; g < groups; ++g) {
    const std::u16string group = kGroups[in.ConsumeIntegralInRange<size_t>(0, 4)];
    c += u"<" + group + u">";
    const int ips = in.ConsumeIntegralInRange(0, 3);
    for (int k = 0; k < ips; ++k) {
      c += u"<IP>" + TakeValue(in) + u"</IP>";
      MaybeJunk(in, c);
    }
    c += u"</" + group + u">\r\n";
  }
  return c + u"</CONNECTION>\r\n";
}

std::u16string ProfileMarkup(FuzzedDataProvider& in) {
  std::u16string p = u"<NETSETING";
  for (const char16_t* name : {u"NAME", u"DATATIME", u"ID"}) {
    if (in.ConsumeIntegralInRange(0, 7) != 0) p += Attribute(in, name);
  }
  p += u">\r\n";
  const int connections = in.ConsumeIntegralInRange(0, 3);
  for (int k = 0; k < connections; ++k) {
    p += Connection(in);
    MaybeJunk(in, p);
  }
  return p + u"</NETSETING>\r\n";
}

std::u16string Document(const std::vector<std::u16string>& profiles, std::u16string_view pad) {
  std::u16string d = u"<LUMATROVE>\r\n<CONFIG LASTID=\"7\">\r\n";
  d += pad;
  for (const std::u16string& p : profiles)
    d += p;
  return d + u"</CONFIG>\r\n<SYSCONFIG><LOGFLAG>TRUE</LOGFLAG></SYSCONFIG>\r\n</LUMATROVE>";
}

// Prints a text with every unit outside printable ASCII as \uXXXX.
void Print(const char* what, std::u16string_view text) {
  std::fprintf(stderr, "%s:\n", what);
  for (const char16_t c : text) {
    if ((c >= 0x20 && c < 0x7F) || c == u'\n') {
      std::fputc(static_cast<int>(c), stderr);
    } else {
      std::fprintf(stderr, "\\u%04X", static_cast<unsigned>(c));
    }
  }
  std::fprintf(stderr, "\n");
}

// The file an import reads, one per process, removed when the process ends.
const std::filesystem::path& OldFile() {
  struct File {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("lumatrove_store_fuzz_" + std::to_string(getpid()) + ".cfg");
    ~File() {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  };
  static const File file;
  return file.path;
}

void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// The list of `store` must be the one a store reading its document afresh builds.
void ExpectFreshList(ProfileStore& store, MemoryStoreSystem& system, const char* what) {
  ProfileStore fresh(system);
  fresh.document.SetDocument(store.document.GetDocument());
  fresh.LoadProfiles();
  if (test::ProfileListText(store) == test::ProfileListText(fresh)) return;
  Print("document", store.document.GetDocument());
  Print("list", test::ProfileListText(store));
  Print("fresh list", test::ProfileListText(fresh));
  Fail(what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  MemoryComputer computer;
  for (int k = 1; k <= 2; ++k) {
    MemoryComputer::AdapterSpec adapter;
    adapter.guid = k == 1 ? u"{guid-1}" : u"{guid-2}";
    adapter.description = k == 1 ? u"Intel" : u"Realtek";
    adapter.connectionName = k == 1 ? u"LAN" : u"Wi-Fi";
    computer.AddAdapter(adapter);
  }
  MemoryStoreSystem system(computer);

  std::vector<std::u16string> profiles;
  const int count = in.ConsumeIntegralInRange(0, 6);
  for (int k = 0; k < count; ++k)
    profiles.push_back(ProfileMarkup(in));
  ProfileStore store(system);
  store.document.SetDocument(Document(profiles, u""));
  store.LoadProfiles();

  // The next document: profiles kept, replaced, dropped, doubled or moved, and the whole
  // list shifted by a pad of some length.
  const int edits = in.ConsumeIntegralInRange(0, 4);
  for (int e = 0; e < edits && !profiles.empty(); ++e) {
    const size_t at = in.ConsumeIntegralInRange<size_t>(0, profiles.size() - 1);
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0:
        profiles[at] = ProfileMarkup(in);
        break;
      case 1:
        profiles.erase(profiles.begin() + static_cast<std::ptrdiff_t>(at));
        break;
      case 2:
        profiles.push_back(profiles[at]);
        break;
      default:
        std::swap(profiles[at], profiles.front());
    }
  }
  const std::u16string pad(in.ConsumeIntegralInRange(0, 40), u' ');
  const bool wellFormed = store.document.SetDocument(Document(profiles, pad));
  store.LoadProfiles();
  ExpectFreshList(store, system, "the list read again differs from a fresh one");

  // Every profile applied, then the operations of the main window on the first ones.
  std::vector<std::u16string> ids;
  for (const auto& p : store.profiles)
    ids.push_back(p->id);
  for (const std::u16string& id : ids)
    store.ApplyProfile(id);
  if (!ids.empty()) {
    const std::u16string& id = ids[in.ConsumeIntegralInRange<size_t>(0, ids.size() - 1)];
    std::vector<ConnectionSetting> kept;
    for (const auto& c : store.profiles.front()->connections)
      kept.push_back(*c);
    std::vector<const ConnectionSetting*> list;
    for (const ConnectionSetting& c : kept)
      list.push_back(&c);
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0:
        store.CopyProfile(id, TakeValue(in));
        break;
      case 1:
        store.DeleteProfile(id);
        break;
      case 2:
        store.ModifyProfile(id, TakeValue(in), list);
        break;
      default:
        store.AddProfile(TakeValue(in), list);
    }
  }
  std::vector<AdapterInfo> adapters(in.ConsumeIntegralInRange(0, 3));
  std::vector<const AdapterInfo*> adapterList;
  for (AdapterInfo& a : adapters) {
    a.instanceId = TakeValue(in);
    a.description = TakeValue(in);
    a.connectionName = TakeValue(in);
    a.macAddress = TakeValue(in);
    adapterList.push_back(&a);
  }
  if (in.ConsumeBool()) store.RepairProfiles(adapterList);

  // A 1.x file: profiles of the generated kind in the ANSI code page, or arbitrary bytes.
  if (in.ConsumeBool()) {
    std::string bytes;
    if (in.ConsumeBool()) {
      std::u16string old = u"<CONFIG>";
      const int imported = in.ConsumeIntegralInRange(0, 3);
      for (int k = 0; k < imported; ++k)
        old += ProfileMarkup(in);
      bytes = computer.codePage().FromUtf16(old + u"</CONFIG>");
    } else {
      bytes = in.ConsumeRandomLengthString(2000);
    }
    const std::filesystem::path file = OldFile();
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    store.ImportOldConfig(file);
  }

  std::string why;
  if (!store.document.VerifyIndex(&why)) Fail(why.c_str());
  store.LoadProfiles();
  // An edit of a document that is not well-formed may leave a tree that a parse of the new
  // text would build differently; the lists are compared where the tree is the text's own.
  if (wellFormed) {
    ExpectFreshList(store, system, "the list after the operations differs from a fresh one");
  }
  return 0;
}
