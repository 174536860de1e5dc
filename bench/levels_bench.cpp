// Cost of listing the levels with a player's folder of 1000 level files (kMostPlayerLevels, the most that
// are listed): every file read, parsed and hashed once, as the levels screen does each time it opens. The
// files are copies of the shipped levels, written once into a scratch XDG_DATA_HOME.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/LevelLibrary.h"

namespace {

namespace fs = std::filesystem;

const fs::path kScratch = fs::temp_directory_path() / ("varrow-levels-bench-" + std::to_string(getpid()));

void BM_ListLevels(benchmark::State& state) {
  size_t listed = 0;
  for (auto _ : state) listed = levelListing().entries.size();
  state.counters["levels"] = static_cast<double>(listed);
}
BENCHMARK(BM_ListLevels)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (chdir(VARROW_RUN_DIR) != 0) std::perror(VARROW_RUN_DIR);
  const char* shipped[] = {"classic.json", "gates.json", "serpent.json"};
  fs::create_directories(kScratch / "varrow/levels");
  for (size_t i = 0; i < kMostPlayerLevels; ++i)
    fs::copy_file(fs::path(kLevelFolder) / shipped[i % 3], kScratch / "varrow/levels" / ("level" + std::to_string(i) + ".json"));
  setenv("XDG_DATA_HOME", kScratch.c_str(), 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  fs::remove_all(kScratch);
  return 0;
}
