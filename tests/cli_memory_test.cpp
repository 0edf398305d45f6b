// Small files that claim huge pictures, and scenes whose pictures pass the
// budget: refused before the memory is taken, which the peak resident memory of
// the program (getrusage, through wait4) shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "support/CliProcess.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::CliProcess;
using testing::TempDir;
using testing::WriteFile;

// A memory the program stays under when nothing large is allocated (the
// sanitizers' own included).
constexpr long kSmallKiB = 150 * 1024;
// The sanitizers' build keeps freed memory aside for a while (its quarantine),
// which would count as resident here; without it, memory goes back as in the
// plain build. Other builds ignore the variable.
const char* const kNoQuarantine = "ASAN_OPTIONS=quarantine_size_mb=0";

std::string Le(std::uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> (8 * i));
  return s;
}

// The 54 header bytes of a w x h picture with `bits` per pixel, `compression`,
// `colours` palette entries following and `data` bytes of pixels.
std::string Header(std::int32_t w, std::int32_t h, int bits, int compression, int colours,
                   std::uint32_t data) {
  const std::uint32_t offset = 54 + 4 * colours;
  return "BM" + Le(offset + data, 4) + Le(0, 4) + Le(offset, 4) + Le(40, 4) + Le(w, 4) + Le(h, 4) +
         Le(1, 2) + Le(bits, 2) + Le(compression, 4) + Le(data, 4) + std::string(16, '\0') +
         std::string(4 * colours, '\x40');
}

// A w x h RLE8 picture written honestly: runs of up to 255 pixels, each row
// ended. Small files, large pictures.
std::string RlePicture(int w, int h) {
  std::string row;
  for (int x = 0; x < w; x += 255) row += {static_cast<char>(std::min(255, w - x)), '\x07'};
  row += std::string("\0\0", 2);
  std::string data;
  for (int y = 0; y < h; ++y) data += row;
  data += std::string("\0\1", 2);
  return Header(w, h, 8, 1, 256, static_cast<std::uint32_t>(data.size())) + data;
}

// A scene with the pictures as object, ground and ceiling.
std::string SceneWithPictures(const TempDir& dir, const std::string& object,
                              const std::string& ground, const std::string& ceiling) {
  WriteFile(dir / "scene.hm",
            "Objects_CreateObject Far\r\nObjects_Filename " + object +
                "\r\nGround_TextureFilename " + ground + "\r\nSky_TextureFilename " + ceiling +
                "\r\nOutput_Resolution 64 32\r\nOutput_Filename " + (dir / "out.jpg") + "\r\n");
  return dir / "scene.hm";
}
std::string SceneWithPicture(const TempDir& dir, const std::string& picture) {
  return SceneWithPictures(dir, picture, picture, picture);
}

TEST(CliMemory, APictureIsJudgedByItsHeaderBeforeItsPixelsAreRead) {
  TempDir dir;
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      // 1,080 bytes claiming 65535 x 8000 pixels: a palette and an end-of-bitmap code.
      {"bomb.bmp", Header(65535, 8000, 8, 1, 256, 2) + std::string("\0\1", 2),
       "the RLE data (2 bytes) cannot describe 65535 x 8000 pixels"},
      // 4 GiB files below (sparse: they take no disk): a header too large for
      // the image limits, and one within them but beyond the picture budget.
      {"huge.bmp", Header(40000, 40000, 24, 0, 0, 0), "is too large for memory"},
      {"wide.bmp", Header(30000, 20000, 24, 0, 0, 0), "memory budget of 256 MiB"},
  };
  for (const auto& c : cases) {
    const std::string picture = dir / c.name;
    WriteFile(picture, c.bytes);
    if (c.bytes.size() == 54) {
      ASSERT_EQ(::truncate(picture.c_str(), std::int64_t{4} << 30), 0);
    }
    CliProcess cli({SceneWithPicture(dir, c.name), "--quiet", "--picture-budget", "256M"},
                   {kNoQuarantine});
    cli.Wait();
    EXPECT_EQ(cli.Status(), 1) << c.name;
    EXPECT_NE(cli.Err().find(picture + ": "), std::string::npos) << cli.Err();
    EXPECT_NE(cli.Err().find(c.reason), std::string::npos) << cli.Err();
    EXPECT_LT(cli.PeakResidentKiB(), kSmallKiB) << c.name;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.jpg"));
  }
}

TEST(CliMemory, ThreeLargePicturesCrossTheBudget) {
  TempDir dir;
  // 6000 x 6000 pixels each, in 300 KB files: 252 MB while one loads (its
  // 24-bit form and its PixelImage), 144 MB held as decoded and 144 MB more
  // as the object draws it. The object's fits in 420 MiB (440 MB); the
  // ground's, a second file, does not: without the budget the program would
  // pass 540 MB (520 MiB), beyond the budget and the allowance below.
  WriteFile(dir / "big.bmp", RlePicture(6000, 6000));
  WriteFile(dir / "big2.bmp", RlePicture(6000, 6000));
  WriteFile(dir / "big3.bmp", RlePicture(6000, 6000));
  constexpr long kBudgetKiB = 420 * 1024;
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{"--picture-budget", "420M"}, std::vector<std::string>{}}) {
    std::vector<std::string> args{SceneWithPictures(dir, "big.bmp", "big2.bmp", "big3.bmp"),
                                  "--quiet"};
    args.insert(args.end(), extra.begin(), extra.end());
    // The budget from the option, then from the environment.
    CliProcess cli(args, {kNoQuarantine, std::string("HORIZONMILL_PICTURE_BUDGET=") +
                                             (extra.empty() ? "420M" : "1K")});
    cli.Wait();
    EXPECT_EQ(cli.Status(), 1);
    const std::string err = cli.Err();
    EXPECT_NE(err.find(dir / "big2.bmp" +
                       ": the pictures' memory budget of 420 MiB does not admit this picture of "
                       "6000 x 6000 pixels"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("the ground texture"), std::string::npos) << err;
    EXPECT_LT(cli.PeakResidentKiB(), kBudgetKiB + 64 * 1024);
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{"big.bmp", "big2.bmp", "big3.bmp", "scene.hm"}));
  }
}

}  // namespace
}  // namespace horizonmill
