// Replays the renderers' fuzzing corpus (and the crashers kept in it) through
// the fuzzer's own entry point, built with the normal compiler.
#include <gtest/gtest.h>

#include "fuzz/render_entry.h"
#include "support/Corpus.h"

namespace horizonmill {
namespace {

TEST(RenderCorpus, EveryInputRendersTheSameTwice) {
  const int inputs =
      testing::ForEachCorpusInput("render", [](const std::string& name, const auto& bytes) {
        EXPECT_EQ(fuzz::CheckRenderInput(bytes.data(), bytes.size()), "") << name;
      });
  EXPECT_GT(inputs, 0);
}

}  // namespace
}  // namespace horizonmill
