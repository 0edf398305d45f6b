// Loading a 1024 x 1024 24-bit BMP: from memory, and through a file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image/BmpReader.h"
#include "image/BmpWriter.h"

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
  std::FILE* f = std::tmpfile();
  EncodeBmp(BenchPicture(), f);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::ftell(f)));
  std::rewind(f);
  if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
  std::fclose(f);
  return bytes;
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
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
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
