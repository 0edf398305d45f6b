// The panorama's XMP, read back the way a viewer finds it: the JPEG's APP1
// segment or the PNG's iTXt chunk, then the packet's RDF description and its
// GPano properties.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "output/ImageOutput.h"
#include "output/JpegWriter.h"
#include "output/PanoramaXmp.h"
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

TEST(PanoramaMetadata, JpegCarriesItInAnApp1SegmentAfterTheJfifHeader) {
  const WorkBitmap image = testing::PaintedPanorama(64, 32, testing::SmoothColour);
  MemorySink plain, marked;
  EncodeImage(image, "out.jpg", 90, ImageMetadata::None, plain);
  EncodeImage(image, "out.jpg", 90, ImageMetadata::Panorama, marked);

  const auto segments = HeaderSegments(marked.Bytes());
  ASSERT_GE(segments.size(), 3u);
  EXPECT_EQ(segments[0].marker, 0xE0);  // JFIF first, where readers look for it
  EXPECT_EQ(segments[1].marker, 0xE1);
  const auto xmp = JpegXmp(marked.Bytes());
  ASSERT_TRUE(xmp.has_value());
  EXPECT_EQ(XmpProperties(*xmp)[kGPano + "FullPanoWidthPixels"], "64");
  EXPECT_EQ(XmpProperties(*xmp)[kGPano + "ProjectionType"], "equirectangular");

  // Without the segment the file is the plain one, byte for byte.
  EXPECT_EQ(JpegXmp(plain.Bytes()), std::nullopt);
  std::string stripped = marked.Bytes();
  stripped.erase(segments[1].start, segments[1].size);
  EXPECT_EQ(stripped, plain.Bytes());
}

TEST(PanoramaMetadata, PngCarriesItUncompressedInAnITxtChunkBeforeTheImageData) {
  const WorkBitmap image = testing::PaintedPanorama(64, 32, testing::SmoothColour);
  MemorySink plain, marked;
  EncodeImage(image, "out.png", 90, ImageMetadata::None, plain);
  EncodeImage(image, "out.png", 90, ImageMetadata::Panorama, marked);

  const auto chunks = PngChunks(marked.Bytes());
  const auto type = [&](const char* t) {
    return std::find_if(chunks.begin(), chunks.end(), [&](const auto& c) { return c.type == t; });
  };
  ASSERT_NE(type("iTXt"), chunks.end());
  EXPECT_LT(type("iTXt"), type("IDAT"));  // readers need not go through the pixels
  const auto xmp = PngXmp(marked.Bytes());
  ASSERT_TRUE(xmp.has_value());
  EXPECT_EQ(XmpProperties(*xmp)[kGPano + "FullPanoHeightPixels"], "32");
  EXPECT_EQ(XmpProperties(*xmp)[kGPano + "ProjectionType"], "equirectangular");
  // libpng reads it back (its checksums hold) to the same pixels.
  EXPECT_TRUE(testing::SamePixels(testing::DecodePng(marked.Bytes()), image));

  EXPECT_EQ(PngXmp(plain.Bytes()), std::nullopt);
  std::string stripped = marked.Bytes();
  stripped.erase(type("iTXt")->start, type("iTXt")->size);
  EXPECT_EQ(stripped, plain.Bytes());
}

TEST(PanoramaMetadata, BmpStaysPlainAndRegisteredJpegsToo) {
  const WorkBitmap image = testing::PaintedPanorama(8, 4, testing::SmoothColour);
  MemorySink plain, marked;
  EncodeImage(image, "out.BMP", 90, ImageMetadata::None, plain);
  EncodeImage(image, "out.BMP", 90, ImageMetadata::Panorama, marked);
  EXPECT_EQ(plain.Bytes(), marked.Bytes());
  // SaveAsJpeg (the host system's pictures) writes none unless asked.
  TempDir dir;
  SaveAsJpeg(image, dir / "host.jpg", 90);
  EXPECT_EQ(JpegXmp(testing::ReadFile(dir / "host.jpg")), std::nullopt);
  SaveImage(image, dir / "out.jpg", 90, ImageMetadata::Panorama);
  EXPECT_NE(JpegXmp(testing::ReadFile(dir / "out.jpg")), std::nullopt);
}

}  // namespace
}  // namespace horizonmill
