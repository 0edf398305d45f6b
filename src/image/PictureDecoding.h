// Inside the picture reader (PictureReader.h): what the PNG and JPEG decoders
// share with the file and memory readers around them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "image/PictureReader.h"

namespace horizonmill::detail {

// Where a decoder's bytes come from, in order.
class PictureSource {
 public:
  virtual ~PictureSource() = default;
  // Up to `size` bytes into `out`; fewer only at the end of the data. May
  // throw (FileError, Interrupted), which the decoders pass on.
  virtual std::size_t Read(std::uint8_t* out, std::size_t size) = 0;
  // How many bytes the data has in all, from its start, when that is known
  // (a regular file, bytes in memory).
  virtual std::optional<std::int64_t> TotalBytes() const { return std::nullopt; }
};

// Bytes held in memory.
class MemorySource : public PictureSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes)
      : bytes_(bytes), total_(static_cast<std::int64_t>(bytes.size())) {}
  std::size_t Read(std::uint8_t* out, std::size_t size) override;
  std::optional<std::int64_t> TotalBytes() const override { return total_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::int64_t total_;
};

// Called once the header is read, before anything large is allocated, with the
// picture's size and the bytes the decoder needs beside the decoded bitmap
// (LoadingBytes' `extra`). Throws to refuse the picture.
using AdmitPicture = std::function<void(int width, int height, std::int64_t extra)>;

// Sides beyond kMaxImageSide, before the sides are multiplied: throws
// PictureTooLarge.
void CheckPictureSides(std::int64_t width, std::int64_t height);
// The bitmap of a picture that passed its checks could not be allocated.
[[noreturn]] void NoMemoryForPicture(int width, int height);

// The checks every reader makes: the image limits, and `maxBytes` over the
// decoded bitmap and the decoder's extra bytes. Throws PictureTooLarge.
void CheckPictureSize(int width, int height, std::int64_t extra, std::int64_t maxBytes);

// A header that claims more pixels than the data behind it can hold (the
// least the coded data of `width` x `height` pixels takes is `leastBytes`):
// throws PictureError naming both, before any memory is taken for the
// pixels. Nothing when the source does not know its size.
void CheckClaimAgainstData(const PictureSource& source, const char* format, std::int64_t width,
                           std::int64_t height, std::int64_t leastBytes);

// The reason of a picture whose data ends before its pixels do.
inline constexpr const char* kTruncated = "the file is truncated";

// Both throw PictureError for bad data; whatever `source` or `admit` throw
// passes through unchanged.
Picture DecodePng(PictureSource& source, const AdmitPicture& admit);
Picture DecodeJpeg(PictureSource& source, const AdmitPicture& admit);

}  // namespace horizonmill::detail
