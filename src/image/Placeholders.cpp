#include "image/Placeholders.h"

#include <cstdint>
#include <vector>

namespace horizonmill {
namespace {

// The character "無" as a 16 x 16 glyph, bit 15 the leftmost column.
constexpr std::uint16_t kMissingGlyph[16] = {
    0b0000100000000000,  //     #
    0b0001111111111110,  //    ############
    0b0010100100100100,  //   # #  #  #  #
    0b0100100100100100,  //  #  #  #  #  #
    0b1111111111111110,  // ###############
    0b0000100100100100,  //     #  #  #  #
    0b0000100100100100,  //     #  #  #  #
    0b0000100100100100,  //     #  #  #  #
    0b1111111111111110,  // ###############
    0b0000000000000000,  //
    0b0000000000000000,  //
    0b0100010000100010,  //  #   #    #   #
    0b0100010000010010,  //  #   #     #  #
    0b1000010000010001,  // #    #     #   #
    0b0000000000000000,  //
    0b0000000000000000,  //
};

}  // namespace

bool MakeCheckerTexture(PixelImagePtr& slot) {
  slot.reset();
  slot = MakePixelImage(256, 256);
  if (!slot) return false;
  const PackedColour white = MakePacked(255, 255, 255), black = MakePacked(0, 0, 0);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) slot->Row(y)[x] = (x < 128) == (y < 128) ? white : black;
  return true;
}

bool MakeMissingTexture(PixelImagePtr& slot) {
  slot.reset();
  slot = MakePixelImage(16, 16);
  if (!slot) return false;
  const PackedColour white = MakePacked(255, 255, 255), black = MakePacked(0, 0, 0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      slot->Row(y)[x] = (kMissingGlyph[y] >> (15 - x)) & 1 ? black : white;
  return true;
}

PackedColour FindUnusedColour(const PixelImage& image) {
  // One bit per colour marks what occurs; the first clear bit is the answer.
  // This is the result of trying every colour in turn, found in one pass.
  std::vector<std::uint64_t> used(std::size_t{1} << 18);
  const std::int64_t n = static_cast<std::int64_t>(image.width) * image.height;
  for (std::int64_t i = 0; i < n; ++i) {
    // A hole takes the colour that is found: its own counts for nothing.
    if (image.holes != nullptr && image.holes[i] != 0) continue;
    const std::uint32_t c = image.pixels[i] & 0x00ffffffu;
    used[c >> 6] |= std::uint64_t{1} << (c & 63);
  }
  for (std::size_t w = 0; w < used.size(); ++w) {
    if (used[w] != ~std::uint64_t{0}) {
      const int bit = __builtin_ctzll(~used[w]);
      return MakeOpaque(static_cast<std::uint32_t>(w * 64 + bit));
    }
  }
  return kNoUnusedColour;
}

}  // namespace horizonmill
