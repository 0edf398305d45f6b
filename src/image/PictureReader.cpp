#include "image/PictureReader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "image/BmpLayout.h"
#include "image/PictureBudget.h"
#include "image/PictureDecoding.h"
#include "platform/WholeFile.h"

namespace horizonmill {
namespace detail {

std::size_t MemorySource::Read(std::uint8_t* out, std::size_t size) {
  const std::size_t n = std::min(size, bytes_.size());
  if (n > 0) std::memcpy(out, bytes_.data(), n);
  bytes_ = bytes_.subspan(n);
  return n;
}

void CheckPictureSides(std::int64_t width, std::int64_t height) {
  if (width > kMaxImageSide || height > kMaxImageSide)
    throw PictureTooLarge("the picture of " + SizeText(width, height) +
                          " pixels is too large for memory");
}

void NoMemoryForPicture(int width, int height) {
  throw PictureTooLarge("not enough memory for a picture of " + SizeText(width, height) +
                        " pixels");
}

void CheckClaimAgainstData(const PictureSource& source, const char* format, std::int64_t width,
                           std::int64_t height, std::int64_t leastBytes) {
  const std::optional<std::int64_t> total = source.TotalBytes();
  if (!total || *total >= leastBytes) return;
  throw PictureError("damaged " + std::string(format) + " data (its header claims " +
                     SizeText(width, height) + " pixels, which take at least " +
                     std::to_string(leastBytes) + " bytes of coded data, but the file has " +
                     std::to_string(*total) + " bytes in all)");
}

void CheckPictureSize(int width, int height, std::int64_t extra, std::int64_t maxBytes) {
  const std::int64_t bitmap =
      static_cast<std::int64_t>(WorkBitmap::StrideFor(width)) * std::max(height, 0);
  if (!WorkBitmap::FitsLimits(width, height) || extra < 0 || bitmap + extra > maxBytes)
    throw PictureTooLarge("the picture of " + SizeText(width, height) +
                          " pixels is too large for memory");
}

}  // namespace detail

namespace {

// The file's first bytes, then the rest of it as it is read.
class FileSource : public detail::PictureSource {
 public:
  FileSource(InputFile& file, std::span<const std::uint8_t> head)
      : file_(file), head_(head.begin(), head.end()) {}
  std::size_t Read(std::uint8_t* out, std::size_t size) override {
    std::size_t n = std::min(size, head_.size() - used_);
    if (n > 0) std::memcpy(out, head_.data() + used_, n);
    used_ += n;
    while (n < size) {
      const std::size_t got = file_.Read(out + n, size - n);
      if (got == 0) break;
      n += got;
    }
    return n;
  }
  std::optional<std::int64_t> TotalBytes() const override {
    if (!file_.Regular()) return std::nullopt;
    return static_cast<std::int64_t>(file_.Size());
  }

 private:
  InputFile& file_;
  std::vector<std::uint8_t> head_;
  std::size_t used_ = 0;
};

detail::AdmitPicture Limit(std::int64_t maxBytes) {
  return [maxBytes](int width, int height, std::int64_t extra) {
    detail::CheckPictureSize(width, height, extra, maxBytes);
  };
}

// The signatures the BMP reader knows (it refuses the arrays with a reason of its own).
bool BmpSignature(std::span<const std::uint8_t> head) {
  return head.size() >= 2 && head[0] == 'B' && (head[1] == 'M' || head[1] == 'A');
}

}  // namespace

PictureFileFormat PictureFileFormatOf(std::span<const std::uint8_t> head) {
  static constexpr std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (head.size() >= 8 && std::equal(kPng, kPng + 8, head.begin())) return PictureFileFormat::Png;
  if (head.size() >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff)
    return PictureFileFormat::Jpeg;
  return PictureFileFormat::Bmp;
}

Picture DecodePngPicture(std::span<const std::uint8_t> bytes, std::int64_t maxBytes) {
  detail::MemorySource source(bytes);
  return detail::DecodePng(source, Limit(maxBytes));
}

Picture DecodeJpegPicture(std::span<const std::uint8_t> bytes, std::int64_t maxBytes) {
  detail::MemorySource source(bytes);
  return detail::DecodeJpeg(source, Limit(maxBytes));
}

Picture DecodePicture(std::span<const std::uint8_t> bytes, std::int64_t maxBytes) {
  switch (PictureFileFormatOf(bytes)) {
    case PictureFileFormat::Png:
      return DecodePngPicture(bytes, maxBytes);
    case PictureFileFormat::Jpeg:
      return DecodeJpegPicture(bytes, maxBytes);
    case PictureFileFormat::Bmp:
      break;
  }
  return Picture{DecodeBmp(bytes, maxBytes), {}};
}

Picture ReadPictureFile(const std::string& path, const PictureBudget* budget) {
  try {
    std::uint8_t head[8];
    std::size_t n = 0;
    {
      InputFile file(path, true);
      while (n < sizeof head) {
        const std::size_t got = file.Read(head + n, sizeof head - n);
        if (got == 0) break;
        n += got;
      }
      const std::span<const std::uint8_t> first(head, n);
      const PictureFileFormat format = PictureFileFormatOf(first);
      if (format != PictureFileFormat::Bmp) {
        FileSource source(file, first);
        const detail::AdmitPicture admit = [&](int width, int height, std::int64_t extra) {
          detail::CheckPictureSize(width, height, extra, kMaxImageBytes);
          if (budget != nullptr) budget->Admit(path, width, height, extra);
        };
        return format == PictureFileFormat::Png ? detail::DecodePng(source, admit)
                                                : detail::DecodeJpeg(source, admit);
      }
      if (!BmpSignature(first)) throw PictureError("not a BMP, PNG or JPEG picture");
    }
    return Picture{ReadBmpFile(path, budget), {}};
  } catch (const PictureTooLarge& e) {
    throw BmpFileTooLarge(path, e.what());
  } catch (const PictureError& e) {
    throw FileError(path, e.what());
  } catch (const std::bad_alloc&) {
    throw BmpFileTooLarge(path, "not enough memory to read the file");
  }
}

PixelImagePtr MakePictureImage(const Picture& picture) {
  PixelImagePtr image = MakePixelImage(picture.bitmap.Width(), picture.bitmap.Height());
  if (!image) return image;
  LoadImageFromBitmap(*image, picture.bitmap);
  if (!picture.holes.empty()) {
    if (!AddHoleMask(*image)) return nullptr;
    std::memcpy(image->holes, picture.holes.data(), picture.holes.size());
  }
  return image;
}

PixelImagePtr LoadPictureFile(const std::string& path, const PictureBudget* budget) {
  return MakePictureImage(ReadPictureFile(path, budget));
}

}  // namespace horizonmill
