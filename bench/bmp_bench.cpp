// Loading a 1024 x 1024 24-bit BMP: from memory, and through a file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "codecs/BmpWriter.h"
#include "image/BmpReader.h"
#include "platform/AtomicFile.h"

namespace horizonmill {
namespace {

constexpr int kSide = 1024;

WorkBitmap BenchPicture() {
  WorkBitmap bitmap(kSide, kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      bitmap.Row(y)[x] = BgrPixel{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                  static_cast<std::uint8_t>(x ^ y)};
  return bitmap;
}

std::vector<std::uint8_t> EncodedPicture() {
  MemorySink sink;
  EncodeBmp(BenchPicture(), {}, sink);
  return std::vector<std::uint8_t>(sink.Bytes().begin(), sink.Bytes().end());
}

void BM_DecodeBmp24(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes = EncodedPicture();
  for (auto _ : state) {
    WorkBitmap bitmap = DecodeBmp(bytes);
    benchmark::DoNotOptimize(bitmap.Bits());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeBmp24)->Unit(benchmark::kMillisecond);

void BM_ReadBmpFile24(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes = EncodedPicture();
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("horizonmill-bmp-bench-" + std::to_string(::getpid()) + ".bmp"))
                               .string();
  WriteFileAtomically(path,
                      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  for (auto _ : state) {
    WorkBitmap bitmap = ReadBmpFile(path);
    benchmark::DoNotOptimize(bitmap.Bits());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadBmpFile24)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace horizonmill
