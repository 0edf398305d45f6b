// What an encoder is told beside the picture and its format: the settings of
// each format (JPEG quality, PNG compression), what the file says about itself,
// and what the HDR formats add in linear light. Every encoder takes the same
// options (codecs/ImageOutput.h) and uses the part that is its own.
#pragma once

namespace horizonmill {

struct SunGlow;  // codecs/HdrLight.h

// What an image file says about itself beyond its pixels.
enum class ImageMetadata {
  None,      // the pixels alone
  Panorama,  // a picture twice as wide as high says it is a full
             // equirectangular panorama: JPEG and PNG carry its XMP
             // (codecs/PanoramaXmp.h), OpenEXR its latitude-longitude
             // environment map attribute; BMP and Radiance HDR have no place
             // for it. Any other size says nothing: it is no full sphere.
};

inline constexpr int kDefaultJpegQuality = 90;

// The filter put in front of every row of a PNG picture. Adaptive tries the
// five and keeps the one whose bytes, read as signed, sum to the least in
// magnitude.
enum class PngFilter { None, Sub, Up, Average, Paeth, Adaptive };

// The zlib levels --png-level takes, and the one used when none is asked for.
// Chosen by measurement (bench/png_bench.cpp, the every-layer example and a
// photograph-like picture at 3072 x 1536): the Sub filter at level 4 makes
// files the size of level 6 with adaptive filtering on rendered skies (6% larger
// on photographs) in a fifth to a quarter of its time; Paeth and adaptive
// filtering lose to Sub on the rendered pictures at every level, and levels 1
// to 3 save up to a third of the time for files 7 to 18% larger.
inline constexpr int kMinPngLevel = 0;
inline constexpr int kMaxPngLevel = 9;
inline constexpr int kDefaultPngLevel = 4;
inline constexpr PngFilter kDefaultPngFilter = PngFilter::Sub;

struct PngOptions {
  int level = kDefaultPngLevel;  // kMinPngLevel .. kMaxPngLevel; others are clamped
  PngFilter filter = kDefaultPngFilter;
  // Rows per piece; 0: as many as make about kPngPieceBytes of image data, at
  // most kPngPieceRows (the sink hears of the rows piece by piece, so a write
  // asked to stop stops within that many rows).
  int pieceRows = 0;
};
inline constexpr int kPngPieceBytes = 256 * 1024;
inline constexpr int kPngPieceRows = 16;

// How hard OpenEXR's ZIP blocks are deflated (1 fastest .. 12 smallest); the
// values read back are the same at every level.
inline constexpr int kMinExrZipLevel = 1;
inline constexpr int kMaxExrZipLevel = 12;
inline constexpr int kDefaultExrZipLevel = 2;
struct ExrOptions {
  int zipLevel = kDefaultExrZipLevel;  // kMinExrZipLevel .. kMaxExrZipLevel; others are clamped
};

struct EncodeOptions {
  // JPEG: 0..100 (0 is the library's lowest; values outside are held there).
  int quality = kDefaultJpegQuality;
  ImageMetadata metadata = ImageMetadata::None;
  PngOptions png;
  ExrOptions exr;
  // The threads that compress PNG and OpenEXR (1: the caller alone); 0 or
  // less: the default number of render threads (render/RenderContext.h). The
  // bytes are the same for any number.
  int threads = 0;
  // The HDR formats: what they add to the picture in linear light (nothing:
  // the picture alone); it must outlive the encoding.
  const SunGlow* glow = nullptr;
};

}  // namespace horizonmill
