// PNG writing at the default size (3072 x 1536): the every-layer example and a
// photograph-like picture, by zlib level and row filter, with 1 and 2 threads,
// and the file's size as a counter; what the default level and filter were
// chosen by. The cube-map export of PNG faces lies in panorama_bench.cpp.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "DiscardSink.h"
#include "RichExample.h"
#include "codecs/PngWriter.h"
#include "render/Pipeline.h"

namespace horizonmill {
namespace {

const WorkBitmap& RichExample() {
  static const WorkBitmap output = RenderRichExample(3072, 1536);
  return output;
}

// Smooth value noise summed over octaves (hills, clouds, foliage at every
// scale) with a sensor's grain of a few levels on every channel: compresses
// as a photograph does, not as a rendered gradient.
const WorkBitmap& PhotographLike() {
  static const WorkBitmap photo = [] {
    constexpr int kW = 3072, kH = 1536, kGrid = 257;
    std::uint32_t s = 2463534242u;
    auto next = [&s] {
      s ^= s << 13;
      s ^= s >> 17;
      s ^= s << 5;
      return s;
    };
    std::vector<float> lattice(kGrid * kGrid * 3);
    for (float& v : lattice) v = static_cast<float>(next() % 1000) / 1000.0f;
    auto noise = [&](float x, float y, int c) {
      const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
      const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
      auto at = [&](int gx, int gy) {
        return lattice[((gy % (kGrid - 1)) * kGrid + gx % (kGrid - 1)) * 3 + c];
      };
      const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
      const float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
      const float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
      return top + (bottom - top) * sy;
    };
    WorkBitmap bitmap(kW, kH);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        std::uint8_t channel[3];
        for (int c = 0; c < 3; ++c) {
          float v = 0, amplitude = 0.5f, scale = 1.0f / 256;
          for (int octave = 0; octave < 7; ++octave) {
            v += amplitude * noise(static_cast<float>(x) * scale + static_cast<float>(7 * c),
                                   static_cast<float>(y) * scale + static_cast<float>(3 * c), c);
            amplitude *= 0.55f;
            scale *= 2;
          }
          const float grain = static_cast<float>(static_cast<int>(next() % 7) - 3);
          channel[c] =
              static_cast<std::uint8_t>(std::fmin(255.0f, std::fmax(0.0f, v * 230 + grain)));
        }
        bitmap.Row(y)[x] = BgrPixel{channel[2], channel[1], channel[0]};
      }
    return bitmap;
  }();
  return photo;
}

// Arguments: the picture (0 the example, 1 the photograph-like one), the
// level, the filter (PngFilter's order), the threads and the rows per piece
// (0: the default).
void BM_PngWrite(benchmark::State& state) {
  const WorkBitmap& bitmap = state.range(0) == 0 ? RichExample() : PhotographLike();
  EncodeOptions options;
  options.png.level = static_cast<int>(state.range(1));
  options.png.filter = static_cast<PngFilter>(state.range(2));
  options.threads = static_cast<int>(state.range(3));
  options.png.pieceRows = static_cast<int>(state.range(4));
  std::size_t bytes = 0;
  for (auto _ : state) {
    CountingSink sink;
    EncodePng(bitmap, options, sink);
    bytes = sink.bytes;
  }
  state.counters["kB"] = static_cast<double>(bytes) / 1000;
}
BENCHMARK(BM_PngWrite)
    ->ArgNames({"photo", "level", "filter", "threads", "rows"})
    ->ArgsProduct({{0, 1}, {1, 2, 3, 4, 6}, {1, 2, 4, 5}, {1}, {0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// The default level and filter with two threads, and level 0 and 9; and the
// cost of smaller pieces (the finer the pieces, the finer a write's progress).
BENCHMARK(BM_PngWrite)
    ->ArgNames({"photo", "level", "filter", "threads", "rows"})
    ->ArgsProduct(
        {{0, 1}, {0, kDefaultPngLevel, 9}, {static_cast<int>(kDefaultPngFilter)}, {2}, {0}})
    ->ArgsProduct(
        {{0, 1}, {kDefaultPngLevel}, {static_cast<int>(kDefaultPngFilter)}, {1}, {8, 16, 28, 64}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace horizonmill
