// The main window's profile list model: filling it from an opened store and answering for one
// screen of rows, at 10 to 100,000 profiles, beside opening the store itself. The list view
// asks only for the rows it shows, so what grows with the profiles is the fill's copy of
// each profile's texts and ID.
#include <benchmark/benchmark.h>

#include <memory>

#include "config_text.h"
#include "store/profile_store.h"
#include "ui/model/main_window_model.h"

namespace lumatrove::bench {
namespace {

// An opened store of `profiles` profiles.
struct OpenedStore {
  explicit OpenedStore(int profiles) : folder(profiles) { store.Open(); }
  Folder folder;
  ProfileStore store{folder.system};
};

// What the list view asks for to draw one screen: eleven rows of three texts, and one
// tooltip.
size_t OneScreen(const ProfileRows& rows, int first) {
  size_t characters = 0;
  for (int row = first; row < first + 11 && row < rows.Count(); ++row) {
    for (int column = 1; column <= 3; ++column)
      characters += rows.CellText(row, column).size();
  }
  return characters + rows.ToolTip(first, 800).size();
}

void BM_ProfileList_FillAndShowOneScreen(benchmark::State& state) {
  OpenedStore opened(static_cast<int>(state.range(0)));
  ProfileRows rows;
  std::vector<std::u16string> ids;
  for (auto _ : state) {
    ids.clear();
    for (const std::unique_ptr<Profile>& p : opened.store.profiles)
      ids.push_back(p->id);
    rows.Fill(opened.store.profiles);
    benchmark::DoNotOptimize(OneScreen(rows, 0));
  }
}

void BM_ProfileList_ShowOneScreen(benchmark::State& state) {
  OpenedStore opened(static_cast<int>(state.range(0)));
  ProfileRows rows;
  rows.Fill(opened.store.profiles);
  int first = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(OneScreen(rows, first));
    first = (first + 97) % rows.Count();
  }
}

void BM_ProfileList_StoreOpen(benchmark::State& state) {
  OpenedStore opened(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(opened.store.Open());
}

BENCHMARK(BM_ProfileList_FillAndShowOneScreen)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProfileList_ShowOneScreen)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProfileList_StoreOpen)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lumatrove::bench

BENCHMARK_MAIN();
