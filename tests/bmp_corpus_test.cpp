// Replays the BMP fuzzing corpus (and the crashers kept in it) through the
// fuzzer's own entry point, built with the normal compiler.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/bmp_entry.h"

namespace horizonmill {
namespace {

TEST(BmpCorpus, EveryInputDecodesOrIsRefusedWithBmpError) {
  const std::filesystem::path dir =
      std::filesystem::path(HORIZONMILL_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / "bmp";
  ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    // Only BmpError may leave the decoder; anything else escapes the entry point.
    EXPECT_NO_THROW(fuzz::DecodeBmpInput(bytes.data(), bytes.size())) << entry.path().filename();
    ++inputs;
  }
  EXPECT_GT(inputs, 0);
}

}  // namespace
}  // namespace horizonmill
