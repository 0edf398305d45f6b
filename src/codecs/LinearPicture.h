// A picture in linear light as the HDR encoders take it: row by row, so that
// none of them needs the whole picture in floats at once.
#pragma once

#include <functional>

namespace horizonmill {

struct LinearPicture {
  int width = 0, height = 0;
  // Writes row y (0 at the top) as width x 3 floats: red, green, blue of each
  // pixel, 1 the white of an eight-bit picture, linear in light. It may be
  // called for different rows on several threads at once.
  std::function<void(int y, float* rgb)> row;
};

}  // namespace horizonmill
