// Replays the BMP fuzzing corpus (and the crashers kept in it) through the
// fuzzer's own entry point, built with the normal compiler.
#include <gtest/gtest.h>

#include "fuzz/bmp_entry.h"
#include "support/Corpus.h"

namespace horizonmill {
namespace {

TEST(BmpCorpus, EveryInputDecodesOrIsRefusedWithBmpError) {
  const int inputs =
      testing::ForEachCorpusInput("bmp", [](const std::string& name, const auto& bytes) {
        // Only BmpError may leave the decoder; anything else escapes the entry point.
        EXPECT_NO_THROW(fuzz::DecodeBmpInput(bytes.data(), bytes.size())) << name;
      });
  EXPECT_GT(inputs, 0);
}

}  // namespace
}  // namespace horizonmill
