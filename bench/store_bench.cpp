// The profile store: opening a large configuration file, and the add + Save + Open cycle that
// every command of the main window performs.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include <malloc.h>
#include "bump_heap.h"
#include "config_text.h"
#include "fakes/memory_computer.h"
#include "fakes/memory_store_system.h"
#include "store/profile_store.h"

namespace lumatrove::bench {
namespace {

namespace fs = std::filesystem;

// Times `open` once per iteration; what it returns is destroyed outside the timing. In one
// process the heap hands the memory of one iteration to the next, while at the program's
// start every page is new to the process, which on this machine costs more than reading it:
// with `freshMemory` the freed memory goes back to the system before each iteration, so that
// Open and the parse alone both run as at the start.
template <typename Open>
void TimeOpening(benchmark::State& state, bool freshMemory, Open open) {
  for (auto _ : state) {
    BeginBumpScope();
    auto opened = open();
    EndBumpScope();
    state.PauseTiming();
    opened.reset();
    if (freshMemory) malloc_trim(0);
    state.ResumeTiming();
  }
}

// Open of a store that has no list yet, as at the program's start. Destroying the store is
// not part of Open and is measured on its own.
void OpenStore(benchmark::State& state, bool freshMemory) {
  Folder folder(static_cast<int>(state.range(0)));
  TimeOpening(state, freshMemory, [&] {
    auto store = std::make_unique<ProfileStore>(folder.system);
    benchmark::DoNotOptimize(store->Open());
    return store;
  });
}

void BM_Store_Open(benchmark::State& state) {
  OpenStore(state, false);
}

void BM_Store_OpenFreshMemory(benchmark::State& state) {
  OpenStore(state, true);
}

void BM_Store_Destroy(benchmark::State& state) {
  Folder folder(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_unique<ProfileStore>(folder.system);
    store->Open();
    state.ResumeTiming();
    store.reset();
  }
}

// The first list alone: the parse of a fresh store's document is left out of the timing.
void BM_Store_FirstList(benchmark::State& state) {
  Folder folder(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_unique<ProfileStore>(folder.system);
    store->document.LoadFile(folder.dir / "lumatrove.cfg");
    state.ResumeTiming();
    BeginBumpScope();
    benchmark::DoNotOptimize(store->LoadProfiles());
    EndBumpScope();
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
}

// Open again on the same store, as the main window does after every saved change.
void BM_Store_Reopen(benchmark::State& state) {
  Folder folder(static_cast<int>(state.range(0)));
  ProfileStore store(folder.system);
  store.Open();
  for (auto _ : state)
    benchmark::DoNotOptimize(store.Open());
}

// The parse alone, for comparison with Open: what Open adds is the profile list.
void LoadFileOnly(benchmark::State& state, bool freshMemory) {
  Folder folder(static_cast<int>(state.range(0)));
  TimeOpening(state, freshMemory, [&] {
    auto document = std::make_unique<XmlDocument>();
    benchmark::DoNotOptimize(document->LoadFile(folder.dir / "lumatrove.cfg"));
    return document;
  });
}

void BM_Store_LoadFileOnly(benchmark::State& state) {
  LoadFileOnly(state, false);
}

void BM_Store_LoadFileOnlyFreshMemory(benchmark::State& state) {
  LoadFileOnly(state, true);
}

void BM_Store_AddSaveOpen(benchmark::State& state) {
  Folder folder(static_cast<int>(state.range(0)));
  ProfileStore store(folder.system);
  store.Open();
  ConnectionSetting c;
  c.connectionName = u"LAN";
  c.instanceId = u"{4D36E972-E325-11CE-BFC1-08002BE10318}";
  c.ipAddressText = u"192.168.1.10";
  c.subnetMaskText = u"255.255.255.0";
  for (auto _ : state) {
    store.AddProfile(u"new", {&c, &c});
    store.Save();
    store.Open();
    state.PauseTiming();
    store.DeleteProfile(store.profiles.back()->id);  // back to the size of the start
    store.Save();
    state.ResumeTiming();
  }
}

BENCHMARK(BM_Store_Open)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Store_OpenFreshMemory)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Store_FirstList)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Store_Destroy)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Store_Reopen)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Store_LoadFileOnly)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Store_LoadFileOnlyFreshMemory)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Store_AddSaveOpen)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumatrove::bench

int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 1 << 30);  // keep freed memory: measure the store, not page faults
  mallopt(M_TRIM_THRESHOLD, -1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
