// Looking at the panorama in three dimensions, at the default size (3072 x
// 1536, the default sky and a sun): the cube-map export of six 1024 x 1024
// faces, and one frame of the look-around view at 800 x 600.
#include <benchmark/benchmark.h>

#include "DiscardSink.h"
#include "codecs/CubeMapExport.h"
#include "render/CubeMap.h"
#include "render/LookAround.h"
#include "render/RenderContext.h"
#include "render/RenderSky.h"
#include "render/RenderSun.h"

namespace horizonmill {
namespace {

WorkBitmap Panorama() {
  WorkBitmap bitmap(3072, 1536);
  RenderContext context;
  RenderSky(context, bitmap, SkyGradation::Default());
  SunSettings sun;
  sun.CenterColor = {255, 240, 200, 255};
  sun.OuterColor = {255, 120, 40, 255};
  sun.Position = {0.3L, 0.45L};
  RenderSun(context, bitmap, sun);
  return bitmap;
}

// The six faces sampled, without writing them.
void BM_CubeFaces1024(benchmark::State& state) {
  const WorkBitmap panorama = Panorama();
  WorkBitmap face(1024, 1024);
  for (auto _ : state)
    for (CubeFace f : kCubeFaces) RenderCubeFace(panorama, f, face);
}
BENCHMARK(BM_CubeFaces1024)->Unit(benchmark::kMillisecond);

// The export as the files get it: sampled and encoded, the bytes discarded.
void BM_CubeMapExport1024(benchmark::State& state, CubeFaceFormat format) {
  const WorkBitmap panorama = Panorama();
  DiscardSink sink;
  for (auto _ : state)
    for (const FileToWrite& file : CubeMapFiles(panorama, "faces", 1024, format, 90))
      file.write(sink);
}
BENCHMARK_CAPTURE(BM_CubeMapExport1024, png, CubeFaceFormat::Png)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CubeMapExport1024, bmp, CubeFaceFormat::Bmp)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CubeMapExport1024, jpg, CubeFaceFormat::Jpeg)->Unit(benchmark::kMillisecond);

// One frame of the look-around view; the heading turns a little each frame,
// as while the mouse drags.
void BM_LookAroundFrame800x600(benchmark::State& state) {
  const WorkBitmap panorama = Panorama();
  WorkBitmap frame(800, 600);
  LookAroundAngles view;
  view.Elevation = static_cast<double>(state.range(0));
  const int threads = static_cast<int>(state.range(1));
  for (auto _ : state) {
    RenderLookAround(panorama, view, frame, threads);
    view.Heading = Settled({view.Heading + 1.7, view.Elevation, view.FieldOfView}).Heading;
  }
}
BENCHMARK(BM_LookAroundFrame800x600)
    ->ArgsProduct({{0, 60}, {1, 2}})
    ->ArgNames({"elevation", "threads"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace horizonmill
