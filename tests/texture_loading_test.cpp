#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "codecs/BmpWriter.h"
#include "image/BmpReader.h"
#include "image/MemoryHunger.h"
#include "image/Placeholders.h"
#include "image/TextureLoading.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "support/BitmapTesting.h"
#include "support/PictureEncoding.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;

// Makes every request that needs new memory fail. The free blocks of 256
// bytes and more are taken out of the allocator's lists first, so no earlier
// test's freed image can serve a request.
class StarvedAllocator {
 public:
  StarvedAllocator() {
    while (TheMemoryHunger().LargeListSize() > 0)
      held_.push_back(TheMemoryHunger().AllocBlock(256));
    TheMemoryHunger().SetSystemAlloc([](std::size_t) -> void* { return nullptr; });
  }
  ~StarvedAllocator() {
    TheMemoryHunger().SetSystemAlloc(nullptr);
    for (void* block : held_) TheMemoryHunger().FreeBlock(block);
  }

 private:
  std::vector<void*> held_;
};

PixelImagePtr Filled(int width, int height, PackedColour colour) {
  PixelImagePtr image = MakePixelImage(width, height);
  for (int i = 0; i < width * height; ++i) image->pixels[i] = colour;
  return image;
}

// What the window scales into the preview when a texture is chosen: the
// picture's colours, a hole showing the colour its file gives it.
TEST(BitmapOf, ThePicturesColoursWithoutAlphaOrHoles) {
  PixelImagePtr picture = MakePixelImage(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) picture->Row(y)[x] = MakePacked(x, y, 7, 40 * x);
  ASSERT_TRUE(AddHoleMask(*picture));
  picture->holes[4] = 1;
  const WorkBitmap bitmap = BitmapOf(*picture);
  ASSERT_EQ(bitmap.Width(), 3);
  ASSERT_EQ(bitmap.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(bitmap.Row(y)[x],
                (BgrPixel{7, static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x)}));
}

TEST(Placeholders, CheckerboardOfFourSquares) {
  PixelImagePtr slot = Filled(3, 3, 0);
  ASSERT_TRUE(MakeCheckerTexture(slot));
  ASSERT_EQ(slot->width, 256);
  ASSERT_EQ(slot->height, 256);
  const PackedColour white = 0xffffffff, black = 0xff000000;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
      ASSERT_EQ(slot->Row(y)[x], (x < 128 && y < 128) || (x >= 128 && y >= 128) ? white : black)
          << x << ", " << y;
}

TEST(Placeholders, MissingTileIsOpaqueBlackOnWhite) {
  PixelImagePtr slot = Filled(300, 3, 0);
  ASSERT_TRUE(MakeMissingTexture(slot));
  ASSERT_EQ(slot->width, 16);
  ASSERT_EQ(slot->height, 16);
  int black = 0, white = 0;
  for (int i = 0; i < 256; ++i) {
    black += slot->pixels[i] == 0xff000000u;
    white += slot->pixels[i] == 0xffffffffu;
  }
  EXPECT_EQ(black + white, 256);
  EXPECT_GT(black, 16);
  EXPECT_GT(white, black);
}

TEST(Placeholders, OutOfMemoryLeavesTheSlotEmpty) {
  PixelImagePtr slot = Filled(2, 2, 0);
  StarvedAllocator starved;
  EXPECT_FALSE(MakeCheckerTexture(slot));
  EXPECT_FALSE(slot);
  slot = nullptr;
  EXPECT_FALSE(MakeMissingTexture(slot));
  EXPECT_FALSE(slot);
}

TEST(FindUnusedColour, CountsUpFromBlackRedFirstIgnoringAlpha) {
  std::vector<PackedColour> pixels(256);
  PixelImage image{1, 1, pixels.data()};
  pixels[0] = MakePacked(0, 0, 7);
  EXPECT_EQ(FindUnusedColour(image), 0xff000000u);
  pixels[0] = 0;  // transparent black still occupies black
  EXPECT_EQ(FindUnusedColour(image), MakePacked(1, 0, 0));
  for (int r = 0; r < 256; ++r) pixels[r] = MakePacked(r, 0, 0);
  image.width = 256;
  EXPECT_EQ(FindUnusedColour(image), MakePacked(0, 1, 0));
}

TEST(FindUnusedColour, EveryColourUsed) {
  std::vector<PackedColour> pixels(std::size_t{1} << 24);
  for (std::uint32_t c = 0; c < pixels.size(); ++c) pixels[c] = c ^ 0x80000000u;
  PixelImage image{4096, 4096, pixels.data()};
  EXPECT_EQ(FindUnusedColour(image), kNoUnusedColour);
  EXPECT_EQ(kNoUnusedColour, static_cast<PackedColour>(-2));
  pixels.back() = 0;  // white gone (black twice): the last colour is the answer
  EXPECT_EQ(FindUnusedColour(image), 0xffffffffu);
}

TEST(ResolvePath, RelativeNamesGoBehindTheProgramDirectory) {
  EXPECT_EQ(ResolvePath("tex\\sky.bmp", "/opt/hm/"), "/opt/hm/tex/sky.bmp");
  EXPECT_EQ(ResolvePath("tex\\sky.bmp", "/opt/hm"), "/opt/hm/tex/sky.bmp");
  // A network name and a name from the root of a drive are prefixed too.
  EXPECT_EQ(ResolvePath("\\\\server\\share\\a.bmp", "/opt/hm/"), "/opt/hm///server/share/a.bmp");
  EXPECT_EQ(ResolvePath("\\a.bmp", "/opt/hm/"), "/opt/hm//a.bmp");
  // Unchanged: one character or less, a drive letter, an absolute name here.
  EXPECT_EQ(ResolvePath("", "/opt/hm/"), "");
  EXPECT_EQ(ResolvePath("a", "/opt/hm/"), "a");
  EXPECT_EQ(ResolvePath("C:\\tex\\a.bmp", "/opt/hm/"), "C:\\tex\\a.bmp");
  EXPECT_EQ(ResolvePath("/srv/a.bmp", "/opt/hm/"), "/srv/a.bmp");
}

TEST(ResolvePath, JoinAndSplitNames) {
  EXPECT_EQ(JoinPath("/opt/hm", "a.bmp"), "/opt/hm/a.bmp");
  EXPECT_EQ(JoinPath("/opt/hm/", "a.bmp"), "/opt/hm/a.bmp");
  EXPECT_EQ(JoinPath("", "a.bmp"), "a.bmp");
  EXPECT_EQ(DirectoryOf("/opt/hm/a.bmp"), "/opt/hm/");
  EXPECT_EQ(DirectoryOf("a.bmp"), "./");
}

TEST(ResolvePath, IgnoresTheCurrentDirectory) {
  // A copy, not a reference: SetProgramDirectory changes what the reference shows.
  // NOLINTNEXTLINE(performance-unnecessary-copy-initialization)
  const std::string saved_program = ProgramDirectory();
  const fs::path saved_cwd = fs::current_path();
  SetProgramDirectory("/opt/hm");
  fs::current_path(fs::temp_directory_path());
  EXPECT_EQ(ResolvePath("tex\\sky.bmp"), "/opt/hm/tex/sky.bmp");
  fs::current_path(saved_cwd);
  SetProgramDirectory(saved_program);
}

TEST(StripExtension, RemovesOnlyShortExtensionsOfTheLastComponent) {
  EXPECT_EQ(StripExtension("a.bmp"), "a");
  EXPECT_EQ(StripExtension("scene.jpeg"), "scene.jpeg");
  EXPECT_EQ(StripExtension("a.b.c"), "a.b");
  EXPECT_EQ(StripExtension("/usr/bin/horizonmill"), "/usr/bin/horizonmill");
  EXPECT_EQ(StripExtension("x."), "x");
  EXPECT_EQ(StripExtension(".ini"), "");
  EXPECT_EQ(StripExtension(""), "");
  EXPECT_EQ(StripExtension("/opt/a.b/c"), "/opt/a.b/c");
  EXPECT_EQ(StripExtension("C:\\a.b\\c"), "C:\\a.b\\c");
}

}  // namespace
}  // namespace horizonmill
