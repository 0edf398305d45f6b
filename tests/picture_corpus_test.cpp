// Replays the PNG and JPEG fuzzing corpora (and the crashers kept in them)
// through the fuzzers' own entry points, built with the normal compiler.
#include <gtest/gtest.h>

#include "fuzz/picture_entry.h"
#include "support/Corpus.h"

namespace horizonmill {
namespace {

TEST(PictureCorpus, EveryInputDecodesOrIsRefusedWithPictureError) {
  for (const char* corpus : {"png", "jpeg"}) {
    const bool png = std::string(corpus) == "png";
    const int inputs =
        testing::ForEachCorpusInput(corpus, [&](const std::string& name, const auto& bytes) {
          // Only PictureError may leave the decoder; anything else escapes the entry point.
          EXPECT_NO_THROW(png ? fuzz::DecodePngInput(bytes.data(), bytes.size())
                              : fuzz::DecodeJpegInput(bytes.data(), bytes.size()))
              << corpus << "/" << name;
        });
    EXPECT_GT(inputs, 0) << corpus;
  }
}

}  // namespace
}  // namespace horizonmill
