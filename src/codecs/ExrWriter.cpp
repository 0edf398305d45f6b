#include "codecs/ExrWriter.h"

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfIO.h>
#include <ImfOutputFile.h>
#include <ImfStandardAttributes.h>
#include <ImfThreading.h>
#include <half.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "codecs/PanoramaXmp.h"
#include "render/RenderContext.h"
#include "render/WorkCrew.h"

namespace horizonmill {
namespace {

// The library's output stream into memory; it seeks back to fill in its
// table of row offsets at the end.
class MemoryStream : public Imf::OStream {
 public:
  MemoryStream() : Imf::OStream("memory") {}
  void write(const char c[], int n) override {
    if (position_ + n > bytes_.size()) bytes_.resize(position_ + n);
    std::memcpy(bytes_.data() + position_, c, static_cast<std::size_t>(n));
    position_ += n;
  }
  uint64_t tellp() override { return position_; }
  void seekp(uint64_t pos) override { position_ = pos; }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::size_t position_ = 0;
};

half ToHalf(float v) {
  constexpr float kLargestHalf = 65504.0f;
  if (!(v > 0)) return half(0.0f);
  return half(std::min(v, kLargestHalf));
}

// The rows the library compresses together under ZIP.
constexpr int kExrBlockRows = 16;
// The blocks handed to the library at once, per thread: enough that its
// threads seldom wait for the last block of a hand-over.
constexpr int kExrBlocksPerThread = 8;

// The library compresses on threads of a pool the whole process shares; it is
// given at least `threads` of them (never fewer, as another writing may be
// using them).
void ProvideLibraryThreads(int threads) {
  static std::mutex mutex;
  const std::lock_guard<std::mutex> lock(mutex);
  if (Imf::globalThreadCount() < threads) Imf::setGlobalThreadCount(threads);
}

}  // namespace

void EncodeExr(const LinearPicture& picture, const EncodeOptions& options, ByteSink& out) {
  const int w = picture.width, h = picture.height;
  if (w <= 0 || h <= 0) throw std::runtime_error("an OpenEXR picture needs at least one pixel");
  const int threads = options.threads > 0 ? options.threads : DefaultRenderThreads();
  // The library's threads compress the blocks of a hand-over while the
  // calling thread writes them out in order; the crew turns the rows of the
  // next hand-over into halves.
  const int handOverRows = kExrBlockRows * (threads > 1 ? kExrBlocksPerThread * threads : 1);
  if (threads > 1) ProvideLibraryThreads(threads);
  WorkCrew crew(threads);
  MemoryStream stream;
  try {
    Imf::Header header(w, h);
    header.compression() = Imf::ZIP_COMPRESSION;
    header.zipCompressionLevel() = std::clamp(options.exr.zipLevel, 1, 9);
    header.channels().insert("R", Imf::Channel(Imf::HALF));
    header.channels().insert("G", Imf::Channel(Imf::HALF));
    header.channels().insert("B", Imf::Channel(Imf::HALF));
    Imf::addChromaticities(header, Imf::Chromaticities());  // Rec. 709, D65
    if (MarksPanorama(w, h, options.metadata)) Imf::addEnvmap(header, Imf::ENVMAP_LATLONG);
    Imf::OutputFile file(stream, header, threads > 1 ? threads : 0);
    const std::size_t rowValues = static_cast<std::size_t>(w) * 3;
    std::vector<std::vector<float>> rgb(static_cast<std::size_t>(threads),
                                        std::vector<float>(rowValues));
    std::vector<half> block(rowValues * static_cast<std::size_t>(std::min(handOverRows, h)));
    for (int y0 = 0; y0 < h; y0 += handOverRows) {
      const int rows = std::min(handOverRows, h - y0);
      auto convert = [&](int thread, std::int64_t first, std::int64_t last) {
        float* from = rgb[static_cast<std::size_t>(thread)].data();
        for (std::int64_t r = first; r < last; ++r) {
          picture.row(y0 + static_cast<int>(r), from);
          half* to = block.data() + static_cast<std::size_t>(r) * rowValues;
          for (std::size_t i = 0; i < rowValues; ++i) to[i] = ToHalf(from[i]);
        }
      };
      crew.Run(rows, kExrBlockRows, convert);
      // The frame buffer is addressed by absolute row: its origin lies y0
      // rows before the block.
      const std::size_t xStride = 3 * sizeof(half), yStride = xStride * w;
      char* origin =
          reinterpret_cast<char*>(block.data()) - static_cast<std::ptrdiff_t>(y0) * yStride;
      Imf::FrameBuffer frame;
      frame.insert("R", Imf::Slice(Imf::HALF, origin, xStride, yStride));
      frame.insert("G", Imf::Slice(Imf::HALF, origin + sizeof(half), xStride, yStride));
      frame.insert("B", Imf::Slice(Imf::HALF, origin + 2 * sizeof(half), xStride, yStride));
      file.setFrameBuffer(frame);
      file.writePixels(rows);
      out.EncodedRows(rows);
    }
  } catch (const Iex::BaseExc& e) {
    throw std::runtime_error(std::string("OpenEXR: ") + e.what());
  }
  out.Write(stream.Bytes());
  out.Flush();
}

}  // namespace horizonmill
