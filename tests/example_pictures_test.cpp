// The example pictures: the textures tile without a seam, and the committed
// files are what the generator draws.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ExamplePictures.h"
#include "codecs/BmpWriter.h"
#include "image/BmpReader.h"
#include "image/PictureReader.h"
#include "support/BitmapTesting.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

int Difference(BgrPixel a, BgrPixel b) {
  return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// Mean colour difference across the seam where the texture meets its next
// copy, and between neighbouring pixels inside it, one direction at a time.
struct Seam {
  double edge, neighbours;
};
Seam Across(const WorkBitmap& t, bool columns) {
  const int n = columns ? t.Width() : t.Height(), m = columns ? t.Height() : t.Width();
  auto at = [&](int i, int j) { return columns ? t.Row(j)[i] : t.Row(i)[j]; };
  double edge = 0, inside = 0;
  for (int j = 0; j < m; ++j) {
    edge += Difference(at(n - 1, j), at(0, j));
    for (int i = 0; i + 1 < n; ++i) inside += Difference(at(i, j), at(i + 1, j));
  }
  return {edge / m, inside / (static_cast<double>(m) * (n - 1))};
}

TEST(ExamplePictures, TexturesRepeatWithoutASeam) {
  for (const auto& [name, texture] :
       {std::pair{"clouds", examples::Clouds()}, std::pair{"water", examples::Water()}}) {
    for (const bool columns : {true, false}) {
      const Seam seam = Across(texture, columns);
      // A seam stands out when the texture changes across it much more than
      // between any two neighbours inside it.
      EXPECT_LE(seam.edge, 1.5 * seam.neighbours + 1)
          << name << (columns ? ": left and right" : ": top and bottom") << " edges differ by "
          << seam.edge << ", neighbours by " << seam.neighbours;
    }
  }
}

TEST(ExamplePictures, TheCommittedPicturesAreWhatTheGeneratorDraws) {
  for (const auto& [file, picture] : examples::ExamplePictures()) {
    MemorySink drawn;
    EncodeBmp(picture, {}, drawn);
    EXPECT_TRUE(drawn.Bytes() ==
                testing::ReadFile(std::string(HORIZONMILL_SOURCE_DIR) + "/examples/" + file))
        << file << " differs: build/horizonmill-example-pictures examples writes it again";
  }
}

TEST(ExamplePictures, TheCommittedCutOutsHoldWhatTheGeneratorDraws) {
  // Compared as decoded pixels and holes: the PNG bytes depend on zlib's version.
  const std::vector<examples::CutOutPicture> cutOuts = examples::CutOutPictures();
  EXPECT_EQ(cutOuts.size(), 4u);
  for (const examples::CutOutPicture& cut : cutOuts) {
    SCOPED_TRACE(cut.file);
    const std::string path = std::string(HORIZONMILL_SOURCE_DIR) + "/examples/" + cut.file;
    const Picture committed = ReadPictureFile(path);
    EXPECT_TRUE(testing::SamePixels(committed.bitmap, cut.picture))
        << "build/horizonmill-example-pictures examples writes it again";
    std::vector<std::uint8_t> holes;
    for (const std::uint8_t a : cut.alpha) holes.push_back(a < 128);
    EXPECT_EQ(committed.holes, holes);
    // The same picture as the key-coloured BMP, the key's pixels cut out.
    const std::string bmp = cut.file.substr(0, cut.file.size() - 4) + ".bmp";
    const WorkBitmap keyed = ReadBmpFile(std::string(HORIZONMILL_SOURCE_DIR) + "/examples/" + bmp);
    ASSERT_EQ(keyed.Width(), committed.bitmap.Width());
    for (int y = 0; y < keyed.Height(); ++y)
      for (int x = 0; x < keyed.Width(); ++x)
        ASSERT_EQ((keyed.Row(y)[x] == BgrPixel{255, 0, 255}), holes[y * keyed.Width() + x] != 0)
            << x << "," << y;
  }
}

}  // namespace
}  // namespace horizonmill
