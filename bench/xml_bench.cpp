// XmlDocument side by side with pugixml on the same generated configuration documents.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "alloc_counter.h"
#include "config_text.h"
#include "xml/xml_document.h"

namespace lumatrove::bench {
namespace {

namespace fs = std::filesystem;

const std::string& Utf8Text(int profiles) {
  static std::map<int, std::string> cache;
  auto it = cache.find(profiles);
  if (it == cache.end()) it = cache.emplace(profiles, ConfigText(profiles)).first;
  return it->second;
}

const std::u16string& Utf16Text(int profiles) {
  static std::map<int, std::u16string> cache;
  auto it = cache.find(profiles);
  if (it == cache.end()) {
    const std::string& u8 = Utf8Text(profiles);
    std::u16string text(XmlDocument::Utf8ToUtf16(u8.data(), u8.size(), nullptr) + 1, u'\0');
    XmlDocument::Utf8ToUtf16(u8.data(), u8.size(), text.data());
    text.pop_back();
    it = cache.emplace(profiles, std::move(text)).first;
  }
  return it->second;
}

fs::path ConfigFile(int profiles) {
  const fs::path p =
      fs::temp_directory_path() / ("lumatrove_bench_" + std::to_string(profiles) + ".cfg");
  if (!fs::exists(p) || fs::file_size(p) != Utf8Text(profiles).size()) {
    std::ofstream(p, std::ios::binary) << Utf8Text(profiles);
  }
  return p;
}

void* PugiAlloc(size_t size) {
  return CountedMalloc(size);
}
void PugiFree(void* p) {
  CountedFree(p);
}

// ---- loading ----

void BM_Ours_LoadFile(benchmark::State& state) {
  const fs::path path = ConfigFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    XmlDocument doc;
    benchmark::DoNotOptimize(doc.LoadFile(path));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(path)));
}

void BM_Pugi_LoadFile(benchmark::State& state) {
  const fs::path path = ConfigFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_file(path.c_str()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(path)));
}

void BM_Ours_SetDocument(benchmark::State& state) {
  const std::u16string& text = Utf16Text(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    XmlDocument doc;
    benchmark::DoNotOptimize(doc.SetDocument(text));
  }
}

void BM_Pugi_LoadBuffer(benchmark::State& state) {
  const std::string& text = Utf8Text(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_buffer(text.data(), text.size()));
  }
}

// pugixml given the very same UTF-16 text that SetDocument takes.
void BM_Pugi_LoadBufferUtf16(benchmark::State& state) {
  const std::u16string& text = Utf16Text(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_buffer(text.data(), text.size() * sizeof(char16_t),
                                             pugi::parse_default, pugi::encoding_utf16_le));
  }
}

// ---- reading every IP text ----

// Both walks copy each text into the caller's string, which keeps its room between texts.
size_t WalkOurs(XmlDocument& doc) {
  size_t total = 0;
  std::u16string ip;
  doc.ResetPosition();
  doc.FindElement(u"LUMATROVE");
  doc.EnterElement();
  doc.FindElement(u"CONFIG");
  doc.EnterElement();
  while (doc.FindElement(u"NETSETING")) {
    doc.EnterElement();
    while (doc.FindElement(u"CONNECTION")) {
      doc.EnterElement();
      while (doc.FindElement()) {  // IPADD, MASKADD, GATEWAY, DNSADD
        while (doc.FindChildElement(u"IP")) {
          ip = doc.GetChildText();
          total += ip.size();
        }
      }
      doc.LeaveElement();
    }
    doc.LeaveElement();
  }
  return total;
}

size_t WalkPugi(const pugi::xml_document& doc) {
  size_t total = 0;
  std::string text;
  for (pugi::xml_node setting : doc.child("LUMATROVE").child("CONFIG").children("NETSETING")) {
    for (pugi::xml_node connection : setting.children("CONNECTION")) {
      for (pugi::xml_node group : connection.children()) {
        for (pugi::xml_node ip : group.children("IP")) {
          text.assign(ip.child_value());
          total += text.size();
        }
      }
    }
  }
  return total;
}

void BM_Ours_WalkIpTexts(benchmark::State& state) {
  XmlDocument doc;
  doc.SetDocument(Utf16Text(static_cast<int>(state.range(0))));
  for (auto _ : state)
    benchmark::DoNotOptimize(WalkOurs(doc));
}

void BM_Pugi_WalkIpTexts(benchmark::State& state) {
  pugi::xml_document doc;
  const std::string& text = Utf8Text(static_cast<int>(state.range(0)));
  doc.load_buffer(text.data(), text.size());
  for (auto _ : state)
    benchmark::DoNotOptimize(WalkPugi(doc));
}

// ---- peak memory of one load ----

void BM_Ours_PeakMemoryLoadFile(benchmark::State& state) {
  const fs::path path = ConfigFile(static_cast<int>(state.range(0)));
  size_t peak = 0;
  for (auto _ : state) {
    const size_t base = BytesInUse();
    ResetPeak();
    {
      XmlDocument doc;
      benchmark::DoNotOptimize(doc.LoadFile(path));
    }
    peak = PeakBytes() - base;
  }
  state.counters["peak_MiB"] = static_cast<double>(peak) / (1024.0 * 1024.0);
  state.counters["bytes_per_file_byte"] =
      static_cast<double>(peak) / static_cast<double>(fs::file_size(path));
}

void BM_Pugi_PeakMemoryLoadFile(benchmark::State& state) {
  pugi::set_memory_management_functions(PugiAlloc, PugiFree);
  const fs::path path = ConfigFile(static_cast<int>(state.range(0)));
  size_t peak = 0;
  for (auto _ : state) {
    const size_t base = BytesInUse();
    ResetPeak();
    {
      pugi::xml_document doc;
      benchmark::DoNotOptimize(doc.load_file(path.c_str()));
    }
    peak = PeakBytes() - base;
  }
  state.counters["peak_MiB"] = static_cast<double>(peak) / (1024.0 * 1024.0);
  state.counters["bytes_per_file_byte"] =
      static_cast<double>(peak) / static_cast<double>(fs::file_size(path));
}

// ---- edits on the 10,000-profile document (no re-parse) ----

constexpr std::u16string_view kProfileFragment =
    u"<NETSETING NAME=\"new\" DATATIME=\"08-06-15 14:03:09\" ID=\"99999\">\r\n"
    u"<CONNECTION NAME=\"A\" GUID=\"{1}\" NETCARD=\"N\" MACCODE=\"\" EnableCheck=\"1\" "
    u"TYPE=\"0\">\r\n<IPADD>\r\n<IP>1.2.3.4</IP>\r\n</IPADD>\r\n</CONNECTION>\r\n</NETSETING>";

void EnterConfig(XmlDocument& doc) {
  doc.ResetPosition();
  doc.FindElement(u"LUMATROVE");
  doc.EnterElement();
  doc.FindElement(u"CONFIG");
  doc.EnterElement();
}

void BM_Ours_AppendProfile(benchmark::State& state) {
  XmlDocument doc;
  doc.SetDocument(Utf16Text(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    EnterConfig(doc);
    doc.AddSubDocument(kProfileFragment);
    state.PauseTiming();
    doc.RemoveElement();  // back to the document of the start
    state.ResumeTiming();
  }
}

void BM_Ours_RemoveFirstProfile(benchmark::State& state) {
  const int profiles = static_cast<int>(state.range(0));
  XmlDocument doc;
  doc.SetDocument(Utf16Text(profiles));
  int removed = 0;
  for (auto _ : state) {
    if (removed == profiles / 10) {
      state.PauseTiming();
      doc.SetDocument(Utf16Text(profiles));
      removed = 0;
      state.ResumeTiming();
    }
    EnterConfig(doc);
    doc.FindElement(u"NETSETING");
    doc.RemoveElement();
    ++removed;
  }
}

void BM_Ours_RewriteSysconfig(benchmark::State& state) {
  XmlDocument doc;
  doc.SetDocument(Utf16Text(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    doc.ResetPosition();
    doc.FindElement(u"LUMATROVE");
    doc.EnterElement();
    if (doc.FindElement(u"SYSCONFIG")) doc.RemoveElement();
    doc.AddElement(u"SYSCONFIG");
    doc.SetAttribute(u"VERSION", u"2.0");
    doc.EnterElement();
    doc.AddElement(u"AUTOEXEC", u"FALSE");
    doc.AddElement(u"AUTOUPDATE", u"FALSE");
    doc.AddElement(u"LOGFLAG", u"TRUE");
  }
}

// ---- the conversions alone ----

void BM_Ours_Utf8ToUtf16(benchmark::State& state) {
  const std::string& text = Utf8Text(static_cast<int>(state.range(0)));
  std::u16string out(text.size() + 1, u'\0');
  for (auto _ : state) {
    benchmark::DoNotOptimize(XmlDocument::Utf8ToUtf16(text.data(), text.size(), nullptr));
    benchmark::DoNotOptimize(XmlDocument::Utf8ToUtf16(text.data(), text.size(), out.data()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_Ours_SaveFile(benchmark::State& state) {
  XmlDocument doc;
  doc.SetDocument(Utf16Text(static_cast<int>(state.range(0))));
  const fs::path path = fs::temp_directory_path() / "lumatrove_bench_save.cfg";
  for (auto _ : state)
    benchmark::DoNotOptimize(doc.SaveFile(path));
}

void BM_Pugi_SaveFile(benchmark::State& state) {
  pugi::xml_document doc;
  const std::string& text = Utf8Text(static_cast<int>(state.range(0)));
  doc.load_buffer(text.data(), text.size());
  const fs::path path = fs::temp_directory_path() / "lumatrove_bench_save_pugi.cfg";
  for (auto _ : state)
    benchmark::DoNotOptimize(doc.save_file(path.c_str(), "", pugi::format_raw));
}

#define SIZES Arg(10)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_Ours_LoadFile)->SIZES;
BENCHMARK(BM_Pugi_LoadFile)->SIZES;
BENCHMARK(BM_Ours_SetDocument)->SIZES;
BENCHMARK(BM_Pugi_LoadBuffer)->SIZES;
BENCHMARK(BM_Pugi_LoadBufferUtf16)->SIZES;
BENCHMARK(BM_Ours_WalkIpTexts)->SIZES;
BENCHMARK(BM_Pugi_WalkIpTexts)->SIZES;
BENCHMARK(BM_Ours_PeakMemoryLoadFile)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugi_PeakMemoryLoadFile)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ours_AppendProfile)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ours_RemoveFirstProfile)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ours_RewriteSysconfig)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ours_Utf8ToUtf16)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ours_SaveFile)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugi_SaveFile)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumatrove::bench

int main(int argc, char** argv) {
  lumatrove::bench::KeepFreedMemory();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
