// The memory the pictures of one scene may use together: its object pictures
// and both textures. Before a picture's pixels are read, the budget must admit
// it beside the pictures already held; a picture is counted at 7 bytes a pixel
// while it is decoded (its 24-bit form and the PixelImage it becomes) and at 4
// once it is held. So what the pictures take never passes the budget, however
// many a scene names and however large they claim to be.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "image/BmpReader.h"
#include "image/PixelImage.h"

namespace horizonmill {

// The environment variable that sets the budget (a size as ParseByteSize reads it).
inline constexpr const char* kPictureBudgetVariable = "HORIZONMILL_PICTURE_BUDGET";

// The smaller of 2 GiB and a quarter of the physical memory.
std::int64_t DefaultPictureBudget();
// The budget HORIZONMILL_PICTURE_BUDGET sets, else the default. When the
// variable is set but no size, `error` (if given) says so and the default holds.
std::int64_t PictureBudgetFromEnvironment(std::string* error = nullptr);

// A positive number of bytes: digits, optionally followed by K, M, G or T
// (powers of 1024; "KiB", "MB", "GB" and lower case read the same). Nothing
// when the text is no such size or the size passes 2^62.
std::optional<std::int64_t> ParseByteSize(std::string_view text);
// "2 GiB", "1.5 MiB", "512 bytes": for messages.
std::string ByteSizeText(std::int64_t bytes);

// What a held picture takes: 4 bytes a pixel, and 1 more for its hole mask
// (0 for none).
std::int64_t HeldBytes(const PixelImage* image);
// What a width x height picture takes while it is decoded, `extra` bytes of
// its decoder's own beside (a PNG's transparency, a progressive JPEG's
// coefficients).
std::int64_t LoadingBytes(int width, int height, std::int64_t extra = 0);

// A picture the budget refuses; counts as memory running out.
class PictureOverBudget : public BmpFileTooLarge {
 public:
  using BmpFileTooLarge::BmpFileTooLarge;
};

class PictureBudget {
 public:
  explicit PictureBudget(std::int64_t limit) : limit_(limit) {}

  std::int64_t Limit() const { return limit_; }
  std::int64_t Held() const { return held_; }
  // A picture came or went (HeldBytes of it).
  void Hold(std::int64_t bytes) { held_ += bytes; }
  void Release(std::int64_t bytes) { held_ -= bytes; }

  // Throws PictureOverBudget naming `path` and saying why, when a width x
  // height picture cannot be decoded beside the pictures held (LoadingBytes).
  void Admit(const std::string& path, int width, int height, std::int64_t extra = 0) const;

 private:
  std::int64_t limit_;
  std::int64_t held_ = 0;
};

}  // namespace horizonmill
