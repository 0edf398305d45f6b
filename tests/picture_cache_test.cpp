#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "image/BmpReader.h"
#include "image/PictureCache.h"
#include "platform/FileError.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::TempDir;
using testing::UniformBitmap;
using testing::WriteBmpFile;

PixelImagePtr CopyOf(const PixelImage& image) {
  PixelImagePtr copy = MakePixelImage(image.width, image.height);
  std::copy_n(image.pixels, std::size_t(image.width) * image.height, copy->pixels);
  return copy;
}

class PictureCacheTest : public ::testing::Test {
 protected:
  std::string Bmp(const std::string& name, int w, int h, BgrPixel colour = {10, 20, 30}) {
    std::string path = dir_ / name;
    WriteBmpFile(path, UniformBitmap(w, h, colour));
    return path;
  }
  TempDir dir_;
};

TEST_F(PictureCacheTest, AFileIsDecodedOnceWhileItStaysTheSame) {
  const std::string path = Bmp("a.bmp", 4, 3);
  PictureCache cache;
  const CachedPicture first = cache.Picture(path);
  ASSERT_NE(first.image, nullptr);
  EXPECT_EQ(first.image->width, 4);
  EXPECT_EQ(Red(first.image->Row(0)[0]), 30);
  const CachedPicture again = cache.Picture(path);
  EXPECT_EQ(again.image, first.image);
  EXPECT_EQ(cache.Decodes(), 1);
  EXPECT_EQ(cache.HeldBytes(), 4 * 3 * 4);

  // Another name of the same file shares the decode.
  const std::string link = dir_ / "link.bmp";
  std::filesystem::create_symlink(path, link);
  EXPECT_EQ(cache.Picture(link).image, first.image);
  EXPECT_EQ(cache.Decodes(), 1);
}

TEST_F(PictureCacheTest, AFileChangedOnDiskIsReadAnew) {
  const std::string path = Bmp("a.bmp", 4, 3, {0, 0, 200});
  PictureCache cache;
  const CachedPicture old = cache.Picture(path);
  cache.Derived(old, "copy", [&] { return CopyOf(*old.image); });

  // Rewritten in place with another size and colour.
  Bmp("a.bmp", 5, 3, {0, 200, 0});
  const CachedPicture changed = cache.Picture(path);
  EXPECT_EQ(cache.Decodes(), 2);
  EXPECT_EQ(changed.image->width, 5);
  EXPECT_EQ(Green(changed.image->Row(0)[0]), 200);
  // What was kept of the old file went with it.
  EXPECT_EQ(cache.HeldBytes(), 5 * 3 * 4);
  // The old picture lives on where it is still held.
  EXPECT_EQ(old.image->width, 4);

  // Only touched: the same bytes, another modification time.
  std::filesystem::last_write_time(
      path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
  EXPECT_NE(cache.Picture(path).image, changed.image);
  EXPECT_EQ(cache.Decodes(), 3);
}

TEST_F(PictureCacheTest, DerivedPicturesAreMadeOncePerForm) {
  const std::string path = Bmp("a.bmp", 2, 2);
  PictureCache cache;
  const CachedPicture source = cache.Picture(path);
  int made = 0;
  auto copy = [&] {
    ++made;
    return CopyOf(*source.image);
  };
  const SharedPicture a = cache.Derived(source, "form a", copy);
  EXPECT_EQ(cache.Derived(source, "form a", copy), a);
  const SharedPicture b = cache.Derived(source, "form b", copy);
  EXPECT_NE(b, a);
  EXPECT_EQ(made, 2);
  EXPECT_EQ(cache.Derivations(), 2);
  EXPECT_EQ(cache.Decodes(), 1);

  // A derivation without memory keeps nothing: the next one tries again.
  EXPECT_EQ(cache.Derived(source, "form c", [] { return PixelImagePtr(); }), nullptr);
  EXPECT_NE(cache.Derived(source, "form c", copy), nullptr);
  EXPECT_EQ(made, 3);
}

TEST_F(PictureCacheTest, FailuresAreToldEachTimeAndNotKept) {
  PictureCache cache;
  EXPECT_THROW(cache.Picture(dir_ / "none.bmp"), FileError);
  EXPECT_THROW(cache.Picture(dir_.Path().string()), FileError);  // a folder
  const std::string bad = dir_ / "bad.bmp";
  testing::WriteFile(bad, "BM not really");
  try {
    cache.Picture(bad);
    FAIL() << "decoded a damaged file";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), bad);
  }
  // A picture the budget refuses is refused before decoding, every time.
  const std::string big = Bmp("big.bmp", 100, 100);
  const PictureBudget budget(1000);
  EXPECT_THROW(cache.Picture(big, &budget), PictureOverBudget);
  EXPECT_THROW(cache.Picture(big, &budget), PictureOverBudget);
  EXPECT_EQ(cache.HeldBytes(), 0);
  EXPECT_EQ(cache.Picture(big).image->width, 100);
  // Repaired on disk: read now.
  Bmp("bad.bmp", 1, 1);
  EXPECT_EQ(cache.Picture(bad).image->width, 1);
}

TEST_F(PictureCacheTest, WhatIsKeptStaysWithinTheCapacityLeastRecentlyUsedFirst) {
  // Three pictures of 100 bytes in a cache of 250: the third pushes out the
  // one used least recently.
  const std::string a = Bmp("a.bmp", 5, 5), b = Bmp("b.bmp", 5, 5), c = Bmp("c.bmp", 5, 5);
  PictureCache cache(250);
  cache.Picture(a);
  cache.Picture(b);
  cache.Picture(a);  // b is now the least recently used
  cache.Picture(c);
  EXPECT_EQ(cache.HeldBytes(), 200);
  EXPECT_EQ(cache.Decodes(), 3);
  cache.Picture(a);
  cache.Picture(c);
  EXPECT_EQ(cache.Decodes(), 3);
  cache.Picture(b);
  EXPECT_EQ(cache.Decodes(), 4);

  // A picture larger than the whole capacity is still kept while it is the last used.
  PictureCache small(10);
  small.Picture(a);
  small.Picture(a);
  EXPECT_EQ(small.Decodes(), 1);
  small.SetCapacity(0);
  EXPECT_EQ(small.HeldBytes(), 100);
  small.Clear();
  EXPECT_EQ(small.HeldBytes(), 0);
}

TEST_F(PictureCacheTest, ThreadsAskingForOneFileShareOneDecode) {
  const std::string path = Bmp("a.bmp", 300, 300);
  PictureCache cache;
  std::vector<SharedPicture> got(4);
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  threads.reserve(4);
  for (int i = 0; i < 4; ++i)
    threads.emplace_back([&, i] {
      while (!go) std::this_thread::yield();
      got[i] = cache.Picture(path).image;
    });
  go = true;
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(cache.Decodes(), 1);
  for (const SharedPicture& p : got) EXPECT_EQ(p, got[0]);
}

}  // namespace
}  // namespace horizonmill
