// The fuzzing corpora kept in tests/fuzz/corpus/NAME, replayed by normal tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace horizonmill::testing {

// Calls f(file name, bytes) for every file of the corpus; returns how many.
template <typename F>
int ForEachCorpusInput(const std::string& name, F f) {
  const std::filesystem::path dir =
      std::filesystem::path(HORIZONMILL_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / name;
  EXPECT_TRUE(std::filesystem::is_directory(dir)) << dir;
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    f(entry.path().filename().string(), bytes);
    ++inputs;
  }
  return inputs;
}

}  // namespace horizonmill::testing
