// Radiance HDR output (RGBE): a shared exponent byte beside three mantissa
// bytes per pixel, rows from the top, each run-length encoded as Radiance
// writes them.
#pragma once

#include <array>
#include <cstdint>

#include "codecs/EncodeOptions.h"
#include "codecs/LinearPicture.h"
#include "platform/ByteSink.h"

namespace horizonmill {

// The four bytes of a linear colour: with v the largest of red, green and
// blue, v = m · 2^e (0.5 <= m < 1), each channel becomes Trunc(c · 256 / 2^e)
// and the fourth byte e + 128; v below 1e-32 (or no number, or negative)
// gives four zeros; v beyond what the exponent holds is held at the largest.
std::array<std::uint8_t, 4> RgbeOf(float r, float g, float b);

// Writes the picture into the sink and flushes it: the header
//   #?RADIANCE / FORMAT=32-bit_rle_rgbe / PRIMARIES=(Rec. 709 and D65) /
//   an empty line / -Y H +X W
// then the rows. A row 8 to 32767 pixels wide is run-length encoded: the
// bytes 2, 2 and its width in two bytes, then each of the four byte planes
// as runs (128 + n, byte: n equal bytes, 3 < n < 128) and stretches (n, n
// bytes: 0 < n <= 128). Narrower and wider rows, which that encoding cannot
// hold, are written flat. The sink hears of every row encoded and may stop
// the writing by throwing. The format has no settings and no place for
// metadata: nothing of the options changes a byte.
void EncodeRgbe(const LinearPicture& picture, const EncodeOptions& options, ByteSink& out);

}  // namespace horizonmill
