#include "codecs/ExrWriter.h"

#include <libdeflate.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/HalfFloat.h"
#include "codecs/PanoramaXmp.h"
#include "render/RenderContext.h"
#include "render/WorkCrew.h"

namespace horizonmill {
namespace {

// The rows of one ZIP block: the format fixes them at sixteen.
constexpr int kExrBlockRows = 16;
// The format's numbers this writer uses.
constexpr std::uint32_t kExrMagic = 20000630;
constexpr std::uint32_t kExrVersion = 2;  // one part of scan lines, short names
constexpr std::uint8_t kZipCompression = 3;
constexpr std::uint8_t kIncreasingY = 0;
constexpr std::uint32_t kHalfType = 1;
constexpr std::uint8_t kLatLongEnvmap = 0;

void PutLe32(std::string& to, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) to.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}
void PutLe64(std::string& to, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) to.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}
void PutFloat(std::string& to, float v) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &v, 4);
  PutLe32(to, bits);
}

// One attribute of the header: its name, its type's name, its value's size
// and the value.
void PutAttribute(std::string& to, std::string_view name, std::string_view type,
                  const std::string& value) {
  to.append(name).push_back('\0');
  to.append(type).push_back('\0');
  PutLe32(to, static_cast<std::uint32_t>(value.size()));
  to.append(value);
}

// The file's header: the attributes every reader needs, in the order of their
// names, the chromaticities and, for a full panorama, the environment map.
std::string ExrHeader(int width, int height, bool panorama) {
  std::string header;
  PutLe32(header, kExrMagic);
  PutLe32(header, kExrVersion);
  std::string value;
  for (const char* channel : {"B", "G", "R"}) {  // in the order of their names
    value.append(channel).push_back('\0');
    PutLe32(value, kHalfType);
    value.append(4, '\0');  // not perceptually linear; three reserved bytes
    PutLe32(value, 1);      // sampled in x
    PutLe32(value, 1);      // and in y
  }
  value.push_back('\0');
  PutAttribute(header, "channels", "chlist", value);
  // Rec. 709 primaries and the D65 white: red, green, blue, white as x, y.
  value.clear();
  for (float v : {0.64f, 0.33f, 0.30f, 0.60f, 0.15f, 0.06f, 0.3127f, 0.3290f}) PutFloat(value, v);
  PutAttribute(header, "chromaticities", "chromaticities", value);
  PutAttribute(header, "compression", "compression", std::string(1, char{kZipCompression}));
  value.clear();
  for (int v : {0, 0, width - 1, height - 1}) PutLe32(value, static_cast<std::uint32_t>(v));
  PutAttribute(header, "dataWindow", "box2i", value);
  PutAttribute(header, "displayWindow", "box2i", value);
  if (panorama) PutAttribute(header, "envmap", "envmap", std::string(1, char{kLatLongEnvmap}));
  PutAttribute(header, "lineOrder", "lineOrder", std::string(1, char{kIncreasingY}));
  value.clear();
  PutFloat(value, 1);
  PutAttribute(header, "pixelAspectRatio", "float", value);
  value.clear();
  PutFloat(value, 0);
  PutFloat(value, 0);
  PutAttribute(header, "screenWindowCenter", "v2f", value);
  value.clear();
  PutFloat(value, 1);
  PutAttribute(header, "screenWindowWidth", "float", value);
  header.push_back('\0');
  return header;
}

// A block's bytes as the file holds them, handed from the thread that made
// them to the caller, which reports the blocks in order.
struct ExrBlock {
  std::string bytes;
  std::atomic<bool> ready{false};
};

// What one thread keeps from block to block.
class BlockMaker {
 public:
  BlockMaker(int level, int width)
      : compressor_(libdeflate_alloc_compressor(level)),
        rgb_(static_cast<std::size_t>(width) * 3),
        halves_(rgb_.size()) {
    if (!compressor_) throw std::bad_alloc();
  }
  ~BlockMaker() { libdeflate_free_compressor(compressor_); }
  BlockMaker(const BlockMaker&) = delete;
  BlockMaker& operator=(const BlockMaker&) = delete;

  // Rows y0 .. y1 - 1 as a block of the file: each row's blue, green and red
  // halves in turn, little end first; then, as the format's ZIP blocks are,
  // the even bytes (the halves' low bytes) before the odd ones, each byte as
  // its difference to the one before (plus 128), deflated in a zlib stream. A
  // block that deflating would not make smaller is kept as it was packed.
  void Make(const LinearPicture& picture, int y0, int y1, std::string& block) {
    const std::size_t width = rgb_.size() / 3;
    const std::size_t count = static_cast<std::size_t>(y1 - y0) * width * 3;  // halves
    const std::size_t n = 2 * count;
    split_.resize(n);
    unsigned char* low = split_.data();
    unsigned char* high = low + count;
    for (int y = y0; y < y1; ++y) {
      picture.row(y, rgb_.data());
      FloatsToHalves(rgb_.data(), halves_.data(), rgb_.size());
      for (int c = 2; c >= 0; --c)
        for (std::size_t x = 0; x < width; ++x) {
          const std::uint16_t h = halves_[3 * x + static_cast<std::size_t>(c)];
          *low++ = static_cast<unsigned char>(h & 0xff);
          *high++ = static_cast<unsigned char>(h >> 8);
        }
    }
    predicted_.resize(n);
    const unsigned char* __restrict from = split_.data();
    unsigned char* __restrict to = predicted_.data();
    to[0] = from[0];
    for (std::size_t i = 1; i < n; ++i)
      to[i] = static_cast<unsigned char>(from[i] - from[i - 1] + 128);
    deflated_.resize(std::max<std::size_t>(n, 1));
    const std::size_t made =
        libdeflate_zlib_compress(compressor_, predicted_.data(), n, deflated_.data(), n - 1);
    const std::size_t size = made == 0 ? n : made;
    block.clear();
    block.reserve(8 + size);
    PutLe32(block, static_cast<std::uint32_t>(y0));
    PutLe32(block, static_cast<std::uint32_t>(size));
    if (made != 0) {
      block.append(reinterpret_cast<const char*>(deflated_.data()), made);
    } else {
      for (std::size_t k = 0; k < count; ++k) {
        block.push_back(static_cast<char>(split_[k]));
        block.push_back(static_cast<char>(split_[count + k]));
      }
    }
  }

 private:
  libdeflate_compressor* compressor_;
  std::vector<float> rgb_;
  std::vector<std::uint16_t> halves_;
  std::vector<unsigned char> split_, predicted_, deflated_;
};

}  // namespace

void EncodeExr(const LinearPicture& picture, const EncodeOptions& options, ByteSink& out) {
  const int w = picture.width, h = picture.height;
  if (w <= 0 || h <= 0) throw std::runtime_error("an OpenEXR picture needs at least one pixel");
  const int level = std::clamp(options.exr.zipLevel, kMinExrZipLevel, kMaxExrZipLevel);
  const int threads = options.threads > 0 ? options.threads : DefaultRenderThreads();
  const int blocks = (h - 1) / kExrBlockRows + 1;
  std::unique_ptr<ExrBlock[]> made;
  std::vector<std::unique_ptr<BlockMaker>> makers;
  try {
    made = std::make_unique<ExrBlock[]>(static_cast<std::size_t>(blocks));
    makers.resize(static_cast<std::size_t>(std::min(threads, blocks)));
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("OpenEXR writing failed: out of memory");
  }
  std::atomic<bool> failed{false};
  auto make = [&](int thread, std::int64_t first, std::int64_t last) {
    for (std::int64_t b = first; b < last && !failed.load(std::memory_order_relaxed); ++b) {
      try {
        auto& maker = makers[static_cast<std::size_t>(thread)];
        if (!maker) maker = std::make_unique<BlockMaker>(level, w);
        const int y0 = static_cast<int>(b) * kExrBlockRows;
        maker->Make(picture, y0, std::min(h, y0 + kExrBlockRows), made[b].bytes);
        made[b].ready.store(true, std::memory_order_release);
      } catch (const std::bad_alloc&) {
        failed.store(true, std::memory_order_relaxed);
      }
    }
  };
  // The sink hears of the blocks in order, as they are ready.
  int reported = 0;
  auto reportReady = [&] {
    while (reported < blocks && made[reported].ready.load(std::memory_order_acquire)) {
      const int y0 = reported * kExrBlockRows;
      out.EncodedRows(std::min(h, y0 + kExrBlockRows) - y0);
      ++reported;
    }
  };
  WorkCrew crew(std::min(threads, blocks));
  crew.Run(blocks, 1, make, [&](std::int64_t) {
    if (!failed.load(std::memory_order_relaxed)) reportReady();
    return failed.load(std::memory_order_relaxed);
  });
  if (failed.load(std::memory_order_relaxed))
    throw std::runtime_error("OpenEXR writing failed: out of memory");
  reportReady();

  // The header, the table of where each block starts, the blocks.
  const std::string header = ExrHeader(w, h, MarksPanorama(w, h, options.metadata));
  std::string table;
  std::uint64_t at = header.size() + static_cast<std::uint64_t>(blocks) * 8;
  for (int b = 0; b < blocks; ++b) {
    PutLe64(table, at);
    at += made[b].bytes.size();
  }
  out.Write(header);
  out.Write(table);
  for (int b = 0; b < blocks; ++b) out.Write(made[b].bytes);
  out.Flush();
}

}  // namespace horizonmill
