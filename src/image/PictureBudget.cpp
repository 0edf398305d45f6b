#include "image/PictureBudget.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "image/ImageLimits.h"
#include "image/WorkBitmap.h"

namespace horizonmill {

std::int64_t DefaultPictureBudget() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), page = ::sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page <= 0) return kMaxImageBytes;
  return std::min<std::int64_t>(kMaxImageBytes, std::int64_t{pages} * page / 4);
}

std::int64_t PictureBudgetFromEnvironment(std::string* error) {
  const char* text = std::getenv(kPictureBudgetVariable);
  if (text == nullptr) return DefaultPictureBudget();
  if (const auto size = ParseByteSize(text)) return *size;
  if (error != nullptr)
    *error = std::string(kPictureBudgetVariable) + "=\"" + text +
             "\" is no size (a positive number of bytes, with K, M or G for KiB, MiB or GiB)";
  return DefaultPictureBudget();
}

std::optional<std::int64_t> ParseByteSize(std::string_view text) {
  std::size_t i = 0;
  std::int64_t value = 0;
  constexpr std::int64_t kMost = std::int64_t{1} << 62;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    const int digit = text[i] - '0';
    if (value > (kMost - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  if (i == 0) return std::nullopt;
  std::string unit;
  for (; i < text.size(); ++i)
    unit += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
  int shift = 0;
  if (unit.empty() || unit == "B") {
    shift = 0;
  } else {
    const std::string_view units = "KMGT";
    const auto at = units.find(unit[0]);
    const std::string_view rest = std::string_view(unit).substr(1);
    if (at == std::string_view::npos || !(rest.empty() || rest == "B" || rest == "IB"))
      return std::nullopt;
    shift = 10 * static_cast<int>(at + 1);
  }
  if (value == 0 || value > (kMost >> shift)) return std::nullopt;
  return value << shift;
}

std::string ByteSizeText(std::int64_t bytes) {
  static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  double value = static_cast<double>(bytes);
  int unit = -1;
  while (value >= 1024 && unit < 3) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.*f %s",
                value == static_cast<double>(static_cast<std::int64_t>(value)) ? 0 : 1, value,
                kUnits[unit]);
  return text;
}

std::int64_t HeldBytes(const PixelImage* image) {
  if (image == nullptr) return 0;
  const std::int64_t pixels = std::int64_t{image->width} * image->height;
  return pixels * std::int64_t{sizeof(PackedColour)} + (image->holes != nullptr ? pixels : 0);
}

std::int64_t LoadingBytes(int width, int height, std::int64_t extra) {
  const std::int64_t decoded = static_cast<std::int64_t>(WorkBitmap::StrideFor(width)) * height;
  return decoded + std::int64_t{width} * height * std::int64_t{sizeof(PackedColour)} + extra;
}

void PictureBudget::Admit(const std::string& path, int width, int height,
                          std::int64_t extra) const {
  const std::int64_t needed = LoadingBytes(width, height, extra);
  if (held_ + needed <= limit_) return;
  std::string reason = "the pictures' memory budget of " + ByteSizeText(limit_) +
                       " does not admit this picture of " + std::to_string(width) + " x " +
                       std::to_string(height) + " pixels: it needs " + ByteSizeText(needed) +
                       " while it is loaded";
  if (held_ > 0) reason += ", and the scene's pictures before it hold " + ByteSizeText(held_);
  throw PictureOverBudget(path, reason);
}

}  // namespace horizonmill
