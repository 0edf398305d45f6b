// The pictures a scene uses (ground and ceiling textures, object pictures) from
// BMP, PNG and JPEG files. The format is known by the file's first bytes, never
// by its name: the PNG signature, a JPEG's FF D8 FF; everything else goes to
// the BMP reader (BmpReader.h), whose pictures and errors are its own.
//
// PNG: 1, 2, 4, 8 and 16 bits, grey, grey with alpha, palette (with or without
// transparency), RGB and RGBA, interlaced or not. 16-bit channels are scaled to
// 8 bits with rounding; no gamma is applied (a file's gAMA does not change the
// colours, as in every other reader of scene pictures).
// JPEG: baseline and progressive, grey and colour (YCbCr, RGB). CMYK and YCCK
// pictures are refused with a reason: their colours need a printer's profile.
//
// Transparency: a pixel whose alpha is below half (below 128 of 255, 32768 of
// 65535) is a hole; every other pixel is opaque. There is no partial
// transparency: the layers have transparency settings of their own.
//
// Every decoder reads the picture's header first and checks its size (the
// limits of ImageLimits.h and, for files, the picture budget) before anything
// large is allocated; the pixels are then decoded from the file as it is read.
// A damaged or truncated picture is an error naming the file, never a crash.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/BmpReader.h"
#include "image/ImageLimits.h"
#include "image/PixelImage.h"
#include "image/WorkBitmap.h"

namespace horizonmill {

class PictureBudget;  // image/PictureBudget.h

// Bad picture data, and a picture too large for memory, in every format.
using PictureError = BmpError;
using PictureTooLarge = BmpTooLarge;

enum class PictureFileFormat { Bmp, Png, Jpeg };

// The format the first bytes of a file announce; Bmp for anything that is
// neither PNG nor JPEG (the BMP reader says what is wrong with it).
PictureFileFormat PictureFileFormatOf(std::span<const std::uint8_t> head);

struct Picture {
  WorkBitmap bitmap;
  // Width x height bytes, row 0 first, 1 for a hole; empty when the picture
  // has none (always for BMP and JPEG).
  std::vector<std::uint8_t> holes;
};

// The decoders of pictures held in memory (the fuzzers and tests use them).
// `maxBytes` caps the decoded bitmap together with the decoder's own large
// buffers (see LoadingBytes in PictureBudget.h); a larger picture throws
// PictureTooLarge before it is allocated. Throws PictureError saying what is
// wrong with the data.
Picture DecodePngPicture(std::span<const std::uint8_t> bytes,
                         std::int64_t maxBytes = kMaxImageBytes);
Picture DecodeJpegPicture(std::span<const std::uint8_t> bytes,
                          std::int64_t maxBytes = kMaxImageBytes);
// By the bytes' format (a BMP through DecodeBmp).
Picture DecodePicture(std::span<const std::uint8_t> bytes, std::int64_t maxBytes = kMaxImageBytes);

// A picture file of any of the three formats. Only a regular file is read; its
// header first, and only when it passes (and the budget, when given, admits
// the picture) are its pixels decoded, as the file is read. Throws FileError
// naming the file and the reason (BmpFileTooLarge when the picture would not
// fit in memory, PictureOverBudget when the budget refuses it); Interrupted
// when an interrupt is pending while the file is read.
Picture ReadPictureFile(const std::string& path, const PictureBudget* budget = nullptr);

// The picture as a PixelImage: every pixel opaque, and the holes in its hole
// mask. nullptr when memory runs out.
PixelImagePtr MakePictureImage(const Picture& picture);

// A picture file as a PixelImage (MakePictureImage of ReadPictureFile).
// nullptr when the PixelImage cannot be allocated; throws as ReadPictureFile.
PixelImagePtr LoadPictureFile(const std::string& path, const PictureBudget* budget = nullptr);

}  // namespace horizonmill
