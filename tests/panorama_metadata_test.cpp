// The panorama's XMP, read back the way a viewer finds it: the JPEG's APP1
// segment or the PNG's iTXt chunk, then the packet's RDF description and its
// GPano properties.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "codecs/ImageOutput.h"
#include "codecs/JpegWriter.h"
#include "codecs/PanoramaXmp.h"
#include "support/BitmapTesting.h"
#include "support/PanoramaTesting.h"
#include "support/PngReading.h"
#include "support/TempDir.h"
#include "support/XmpReading.h"

namespace horizonmill {
namespace {

using testing::HeaderSegments;
using testing::JpegXmp;
using testing::PngChunks;
using testing::PngXmp;
using testing::TempDir;
using testing::XmpProperties;

const std::string kGPano = "http://ns.google.com/photos/1.0/panorama/";

TEST(PanoramaMetadata, ThePacketDescribesAWholeEquirectangularPanorama) {
  const auto p = XmpProperties(PanoramaXmpPacket(3072, 1536));
  const std::map<std::string, std::string> expected = {
      {"http://ns.adobe.com/xap/1.0/CreatorTool", "Horizonmill"},
      {kGPano + "ProjectionType", "equirectangular"},
      {kGPano + "UsePanoramaViewer", "True"},
      {kGPano + "FullPanoWidthPixels", "3072"},
      {kGPano + "FullPanoHeightPixels", "1536"},
      {kGPano + "CroppedAreaImageWidthPixels", "3072"},
      {kGPano + "CroppedAreaImageHeightPixels", "1536"},
      {kGPano + "CroppedAreaLeftPixels", "0"},
      {kGPano + "CroppedAreaTopPixels", "0"},
  };
  EXPECT_EQ(p, expected);
  EXPECT_EQ(XmpProperties(PanoramaXmpPacket(409, 307))[kGPano + "FullPanoHeightPixels"], "307");
}

// A 64 x 32 panorama encoded in a format without and with the metadata.
struct PlainAndMarked {
  WorkBitmap image = testing::PaintedPanorama(64, 32, testing::SmoothColour);
  MemorySink plain, marked;
  explicit PlainAndMarked(ImageFormat format) {
    EncodeImage(image, format, {.metadata = ImageMetadata::None}, plain);
    EncodeImage(image, format, {.metadata = ImageMetadata::Panorama}, marked);
  }
  // The packet found in the marked file describes the image, the plain file has
  // none, and without the block that holds it the marked file is the plain one,
  // byte for byte.
  void Check(const std::optional<std::string>& markedXmp,
             const std::optional<std::string>& plainXmp, std::size_t blockStart,
             std::size_t blockSize) const {
    ASSERT_TRUE(markedXmp.has_value());
    EXPECT_EQ(XmpProperties(*markedXmp)[kGPano + "FullPanoWidthPixels"], "64");
    EXPECT_EQ(XmpProperties(*markedXmp)[kGPano + "ProjectionType"], "equirectangular");
    EXPECT_EQ(plainXmp, std::nullopt);
    std::string stripped = marked.Bytes();
    stripped.erase(blockStart, blockSize);
    EXPECT_EQ(stripped, plain.Bytes());
  }
};

TEST(PanoramaMetadata, JpegCarriesItInAnApp1SegmentAfterTheJfifHeader) {
  const PlainAndMarked files(ImageFormat::Jpeg);
  const auto segments = HeaderSegments(files.marked.Bytes());
  ASSERT_GE(segments.size(), 3u);
  EXPECT_EQ(segments[0].marker, 0xE0);  // JFIF first, where readers look for it
  EXPECT_EQ(segments[1].marker, 0xE1);
  files.Check(JpegXmp(files.marked.Bytes()), JpegXmp(files.plain.Bytes()), segments[1].start,
              segments[1].size);
}

TEST(PanoramaMetadata, PngCarriesItUncompressedInAnITxtChunkBeforeTheImageData) {
  const PlainAndMarked files(ImageFormat::Png);
  const auto chunks = PngChunks(files.marked.Bytes());
  const auto type = [&](const char* t) {
    return std::find_if(chunks.begin(), chunks.end(), [&](const auto& c) { return c.type == t; });
  };
  ASSERT_NE(type("iTXt"), chunks.end());
  EXPECT_LT(type("iTXt"), type("IDAT"));  // readers need not go through the pixels
  files.Check(PngXmp(files.marked.Bytes()), PngXmp(files.plain.Bytes()), type("iTXt")->start,
              type("iTXt")->size);
  // libpng reads it back (its checksums hold) to the same pixels.
  EXPECT_TRUE(testing::SamePixels(testing::DecodePng(files.marked.Bytes()), files.image));
}

TEST(PanoramaMetadata, BmpStaysPlainAndRegisteredJpegsToo) {
  const WorkBitmap image = testing::PaintedPanorama(8, 4, testing::SmoothColour);
  MemorySink plain, marked;
  EncodeImage(image, ImageFormat::Bmp, {.metadata = ImageMetadata::None}, plain);
  EncodeImage(image, ImageFormat::Bmp, {.metadata = ImageMetadata::Panorama}, marked);
  EXPECT_EQ(plain.Bytes(), marked.Bytes());
  // SaveAsJpeg (the host system's pictures) writes none unless asked.
  TempDir dir;
  SaveAsJpeg(image, dir / "host.jpg", 90);
  EXPECT_EQ(JpegXmp(testing::ReadFile(dir / "host.jpg")), std::nullopt);
  SaveImage(image, dir / "out.jpg", ImageFormat::Jpeg, {.metadata = ImageMetadata::Panorama});
  EXPECT_NE(JpegXmp(testing::ReadFile(dir / "out.jpg")), std::nullopt);
}

TEST(PanoramaMetadata, OnlyAnImageTwiceAsWideAsHighIsMarked) {
  // A viewer that trusted the mark on another size would move the horizon.
  const struct {
    int w, h;
    bool full;
  } sizes[] = {{64, 32, true},  {3072, 1536, true}, {1, 0, false},   {96, 32, false},
               {63, 32, false}, {65, 32, false},    {32, 64, false}, {409, 307, false}};
  for (const auto& size : sizes) {
    EXPECT_EQ(IsFullPanoramaSize(size.w, size.h), size.full) << size.w << "x" << size.h;
    if (size.h == 0) continue;
    const WorkBitmap image = testing::FilledBitmap(size.w, size.h, BgrPixel{10, 20, 30});
    for (ImageFormat format : {ImageFormat::Png, ImageFormat::Jpeg}) {
      MemorySink sink;
      EncodeImage(image, format, {.metadata = ImageMetadata::Panorama}, sink);
      const auto xmp = format == ImageFormat::Png ? PngXmp(sink.Bytes()) : JpegXmp(sink.Bytes());
      EXPECT_EQ(xmp.has_value(), size.full)
          << size.w << "x" << size.h << " " << ImageFormatName(format);
    }
  }
}

}  // namespace
}  // namespace horizonmill
