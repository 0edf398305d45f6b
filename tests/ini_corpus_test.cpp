// Replays the INI fuzzing corpus through the fuzzer's own entry point, built
// with the normal compiler.
#include <gtest/gtest.h>

#include "fuzz/ini_entry.h"
#include "support/Corpus.h"

namespace horizonmill {
namespace {

TEST(IniCorpus, EveryInputRoundTripsAndEachWriteChangesOnlyWhatItNames) {
  const int inputs =
      testing::ForEachCorpusInput("ini", [](const std::string& name, const auto& bytes) {
        EXPECT_EQ(fuzz::CheckIniInput(bytes.data(), bytes.size()), "") << name;
      });
  EXPECT_GT(inputs, 0);
}

}  // namespace
}  // namespace horizonmill
