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

// A picture whose pixel (x, y) has red x, green y and blue 7.
WorkBitmap Gradient(int width, int height) {
  WorkBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap.Row(y)[x] = BgrPixel{7, static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x)};
  return bitmap;
}

PixelImagePtr Filled(int width, int height, PackedColour colour) {
  PixelImagePtr image = MakePixelImage(width, height);
  for (int i = 0; i < width * height; ++i) image->pixels[i] = colour;
  return image;
}

class TextureFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("horizonmill-texture-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string WriteBmp(const std::string& name, const WorkBitmap& bitmap) {
    std::string path = (dir_ / name).string();
    WriteFileAtomically(path, [&](ByteSink& out) { EncodeBmp(bitmap, {}, out); });
    return path;
  }
  std::string WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::string path = (dir_ / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
  }
  // A 24-bit header claiming 70000 x 1 pixels, with no pixels behind it.
  std::string WriteHuge() {
    std::string path = WriteBmp("huge.bmp", Gradient(1, 1));
    std::vector<std::uint8_t> bytes(54);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(std::fread(bytes.data(), 1, 54, f), 54u);
    std::fclose(f);
    bytes[18] = 70000 & 0xff;
    bytes[19] = (70000 >> 8) & 0xff;
    bytes[20] = 70000 >> 16;
    return WriteBytes("huge.bmp", bytes);
  }

  fs::path dir_;
};

TEST_F(TextureFiles, LoadingReplacesTheSlotWithAnOpaqueCopy) {
  PixelImagePtr slot;
  ASSERT_TRUE(MakeCheckerTexture(slot));
  const TextureLoad load = LoadGroundTexture(slot, WriteBmp("ground.bmp", Gradient(3, 2)));
  EXPECT_EQ(load.result, TextureLoadResult::Loaded);
  ASSERT_TRUE(slot);
  ASSERT_EQ(slot->width, 3);
  ASSERT_EQ(slot->height, 2);
  ASSERT_EQ(load.picture.Width(), 3);
  ASSERT_EQ(load.picture.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(slot->Row(y)[x], MakePacked(x, y, 7, 255)) << x << ", " << y;
      EXPECT_EQ(load.picture.Row(y)[x],
                (BgrPixel{7, static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x)}));
    }
}

TEST_F(TextureFiles, AFileThatCannotBeLoadedLeavesTheSlotAsItWas) {
  const std::vector<std::string> paths = {(dir_ / "missing.bmp").string(),
                                          WriteBytes("damaged.bmp", {'B', 'M', 0, 0}),
                                          WriteBytes("text.bmp", {'h', 'e', 'l', 'l', 'o'})};
  for (const std::string& path : paths) {
    PixelImagePtr ground = Filled(2, 2, MakePacked(1, 2, 3)),
                  ceiling = Filled(2, 2, MakePacked(4, 5, 6));
    const PixelImage* before_ground = ground.get();
    const PixelImage* before_ceiling = ceiling.get();
    PackedColour opaque = 0x12345678;
    EXPECT_THROW(LoadGroundTexture(ground, path), FileError) << path;
    EXPECT_THROW(LoadCeilingTexture(ceiling, opaque, path), FileError) << path;
    EXPECT_EQ(ground.get(), before_ground);
    EXPECT_EQ(ceiling.get(), before_ceiling);
    EXPECT_EQ(ground->pixels[3], MakePacked(1, 2, 3));
    EXPECT_EQ(ceiling->pixels[3], MakePacked(4, 5, 6));
    EXPECT_EQ(opaque, 0x12345678u);
  }
  // Too large for memory: told apart, so the window can report memory exhaustion.
  PixelImagePtr slot = Filled(2, 2, MakePacked(1, 2, 3));
  const PixelImage* before = slot.get();
  EXPECT_THROW(LoadGroundTexture(slot, WriteHuge()), BmpFileTooLarge);
  EXPECT_EQ(slot.get(), before);
}

TEST_F(TextureFiles, OutOfMemoryLeavesTheSlotEmpty) {
  const std::string path = WriteBmp("big.bmp", Gradient(300, 200));
  PixelImagePtr slot = Filled(2, 2, MakePacked(1, 2, 3));
  PackedColour opaque = 0x12345678;
  {
    StarvedAllocator starved;
    const TextureLoad ground = LoadGroundTexture(slot, path);
    EXPECT_EQ(ground.result, TextureLoadResult::OutOfMemory);
    EXPECT_FALSE(slot);
    EXPECT_TRUE(ground.picture.Empty());
    const TextureLoad ceiling = LoadCeilingTexture(slot, opaque, path);
    EXPECT_EQ(ceiling.result, TextureLoadResult::OutOfMemory);
    EXPECT_FALSE(slot);
  }
  EXPECT_EQ(opaque, 0x12345678u);
  EXPECT_EQ(LoadGroundTexture(slot, path).result, TextureLoadResult::Loaded);
}

TEST_F(TextureFiles, CeilingTransparentColourIsTheFirstUnusedColour) {
  PixelImagePtr slot;
  PackedColour opaque = 0;
  WorkBitmap picture = Gradient(4, 4);  // blue 7 everywhere: black is free
  LoadCeilingTexture(slot, opaque, WriteBmp("a.bmp", picture));
  EXPECT_EQ(opaque, 0xff000000u);
  picture.Row(3)[3] = BgrPixel{0, 0, 0};  // pure black present: red 1
  LoadCeilingTexture(slot, opaque, WriteBmp("b.bmp", picture));
  EXPECT_EQ(opaque, MakePacked(1, 0, 0));
  picture.Row(0)[1] = BgrPixel{0, 0, 1};  // and red 1: red 2
  LoadCeilingTexture(slot, opaque, WriteBmp("c.bmp", picture));
  EXPECT_EQ(opaque, MakePacked(2, 0, 0));
}

TEST_F(TextureFiles, PngHolesStayInTheCeilingAndAreTexelsOnTheGround) {
  // Black with a red 1 texel; the transparent half holds red 2.
  testing::RgbaPicture cut{4, 2, std::vector<PackedColour>(8, MakePacked(0, 0, 0))};
  cut.At(1, 0) = MakePacked(1, 0, 0);
  for (int x = 0; x < 4; ++x) cut.At(x, 1) = MakePacked(2, 0, 0, 0);
  const std::string png = (dir_ / "cut.png").string();
  testing::WriteFile(png, testing::EncodePngLayout(cut, {PNG_COLOR_TYPE_RGB_ALPHA, 8}));
  PixelImagePtr ceiling, ground;
  PackedColour opaque = 0;
  const TextureLoad load = LoadCeilingTexture(ceiling, opaque, png);
  EXPECT_TRUE(testing::SamePixels(load.picture, cut.Bitmap()));  // what the preview shows
  ASSERT_TRUE(ceiling);
  ASSERT_NE(ceiling->holes, nullptr);
  EXPECT_TRUE(ceiling->IsHole(2, 1));
  EXPECT_FALSE(ceiling->IsHole(2, 0));
  EXPECT_EQ(opaque, MakePacked(2, 0, 0));  // the holes' own colour counts for nothing
  EXPECT_EQ(LoadGroundTexture(ground, png).result, TextureLoadResult::Loaded);
  ASSERT_TRUE(ground);
  EXPECT_EQ(ground->holes, nullptr);
  EXPECT_EQ(ground->Row(1)[2], MakePacked(2, 0, 0));
  // A JPEG texture: no holes anywhere.
  const std::string jpeg = (dir_ / "gradient.jpg").string();
  testing::WriteFile(jpeg, testing::EncodeJpeg(Gradient(16, 8), true, false));
  LoadCeilingTexture(ceiling, opaque, jpeg);
  ASSERT_TRUE(ceiling);
  EXPECT_EQ(ceiling->width, 16);
  EXPECT_EQ(ceiling->holes, nullptr);
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
