// Replays the settings fuzzing corpus (and the crashers kept in it) through the
// fuzzer's own entry point, built with the normal compiler.
#include <gtest/gtest.h>

#include "fuzz/settings_entry.h"
#include "support/Corpus.h"

namespace horizonmill {
namespace {

TEST(SettingsCorpus, EveryInputReadsWithinTheRecordsBoundsAndRewritesStably) {
  const int inputs =
      testing::ForEachCorpusInput("settings", [](const std::string& name, const auto& bytes) {
        EXPECT_EQ(fuzz::CheckSettingsInput(bytes.data(), bytes.size()), "") << name;
      });
  EXPECT_GT(inputs, 0);
}

}  // namespace
}  // namespace horizonmill
