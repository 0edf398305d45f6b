#include "codecs/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/PanoramaXmp.h"
#include "render/RenderContext.h"
#include "render/WorkCrew.h"

namespace horizonmill {
namespace {

using Bytes = std::vector<unsigned char>;

// Three bytes per pixel: filters look back one pixel, three bytes.
constexpr int kPixelBytes = 3;

void PutU32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}

// One chunk: its length, type, the data given in parts (laid one after the
// other) and the CRC of type and data.
void WriteChunk(ByteSink& out, const char* type,
                std::initializer_list<std::pair<const void*, std::size_t>> parts) {
  std::size_t length = 0;
  for (const auto& part : parts) length += part.second;
  if (length > 0x7fffffffu) throw std::runtime_error("PNG writing failed: a chunk is too long");
  unsigned char head[8];
  PutU32(head, static_cast<std::uint32_t>(length));
  std::copy(type, type + 4, head + 4);
  uLong crc = crc32(0, head + 4, 4);
  out.Write(head, 8);
  for (const auto& [data, size] : parts) {
    if (size == 0) continue;
    crc = crc32_z(crc, static_cast<const Bytef*>(data), size);
    out.Write(data, size);
  }
  unsigned char tail[4];
  PutU32(tail, static_cast<std::uint32_t>(crc));
  out.Write(tail, 4);
}

// The bitmap's row y as red, green, blue.
void RgbRow(const WorkBitmap& bitmap, int y, unsigned char* rgb) {
  const BgrPixel* row = bitmap.Row(y);
  for (int x = 0; x < bitmap.Width(); ++x) {
    rgb[3 * x] = row[x].r;
    rgb[3 * x + 1] = row[x].g;
    rgb[3 * x + 2] = row[x].b;
  }
}

// The filters of one row `cur` of n bytes under `prev` (zeros above the
// first row); out[0] is the filter's number, out[1 .. n] the filtered bytes.
void FilterNone(const unsigned char* cur, const unsigned char*, std::size_t n, unsigned char* out) {
  out[0] = 0;
  std::copy(cur, cur + n, out + 1);
}

void FilterSub(const unsigned char* cur, const unsigned char*, std::size_t n, unsigned char* out) {
  out[0] = 1;
  for (std::size_t i = 0; i < std::min<std::size_t>(n, kPixelBytes); ++i) out[1 + i] = cur[i];
  for (std::size_t i = kPixelBytes; i < n; ++i)
    out[1 + i] = static_cast<unsigned char>(cur[i] - cur[i - kPixelBytes]);
}

void FilterUp(const unsigned char* cur, const unsigned char* prev, std::size_t n,
              unsigned char* out) {
  out[0] = 2;
  for (std::size_t i = 0; i < n; ++i) out[1 + i] = static_cast<unsigned char>(cur[i] - prev[i]);
}

void FilterAverage(const unsigned char* cur, const unsigned char* prev, std::size_t n,
                   unsigned char* out) {
  out[0] = 3;
  for (std::size_t i = 0; i < std::min<std::size_t>(n, kPixelBytes); ++i)
    out[1 + i] = static_cast<unsigned char>(cur[i] - (prev[i] >> 1));
  for (std::size_t i = kPixelBytes; i < n; ++i)
    out[1 + i] = static_cast<unsigned char>(cur[i] - ((cur[i - kPixelBytes] + prev[i]) >> 1));
}

void FilterPaeth(const unsigned char* cur, const unsigned char* prev, std::size_t n,
                 unsigned char* out) {
  out[0] = 4;
  // With nothing to the left, the predictor is the byte above.
  for (std::size_t i = 0; i < std::min<std::size_t>(n, kPixelBytes); ++i)
    out[1 + i] = static_cast<unsigned char>(cur[i] - prev[i]);
  for (std::size_t i = kPixelBytes; i < n; ++i) {
    const int a = cur[i - kPixelBytes], b = prev[i], c = prev[i - kPixelBytes];
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    // Ties go to a, then b: the order every decoder predicts in.
    const int predicted = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
    out[1 + i] = static_cast<unsigned char>(cur[i] - predicted);
  }
}

using FilterFn = void (*)(const unsigned char*, const unsigned char*, std::size_t, unsigned char*);
constexpr FilterFn kFilters[] = {FilterNone, FilterSub, FilterUp, FilterAverage, FilterPaeth};

// The sum of the filtered bytes' magnitudes, each read as a signed byte.
std::uint64_t SignedSum(const unsigned char* filtered, std::size_t n) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const int v = filtered[i];
    sum += static_cast<std::uint64_t>(v < 128 ? v : 256 - v);
  }
  return sum;
}

// What one thread keeps from piece to piece: its deflate state and rows.
class PieceCompressor {
 public:
  PieceCompressor(int level, PngFilter filter, std::size_t rowBytes)
      : filter_(filter), rowBytes_(rowBytes) {
    // Raw deflate (negative window bits): the zlib header and the Adler-32
    // are laid around the pieces once, by the writer.
    if (deflateInit2(&stream_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw std::bad_alloc();
    prev_.resize(rowBytes);
    cur_.resize(rowBytes);
    const std::size_t candidates = filter == PngFilter::Adaptive ? std::size(kFilters) : 1;
    filtered_.resize(candidates * (rowBytes + 1));
  }
  ~PieceCompressor() { deflateEnd(&stream_); }
  PieceCompressor(const PieceCompressor&) = delete;
  PieceCompressor& operator=(const PieceCompressor&) = delete;

  // Rows first .. last - 1 into `out` (ending the stream when `last` is the
  // bitmap's last row); `adler` the Adler-32 of the filtered rows.
  void Compress(const WorkBitmap& bitmap, int first, int last, Bytes& out, uLong& adler) {
    deflateReset(&stream_);
    adler = adler32(0, nullptr, 0);
    const std::size_t raw = static_cast<std::size_t>(last - first) * (rowBytes_ + 1);
    // Room for what a full flush adds beyond the bound of a finished stream.
    out.resize(deflateBound(&stream_, static_cast<uLong>(raw)) + 64);
    stream_.next_out = out.data();
    stream_.avail_out = static_cast<uInt>(out.size());
    if (first > 0)
      RgbRow(bitmap, first - 1, prev_.data());
    else
      std::fill(prev_.begin(), prev_.end(), 0);
    for (int y = first; y < last; ++y) {
      RgbRow(bitmap, y, cur_.data());
      const unsigned char* row = Filter();
      adler = adler32_z(adler, row, rowBytes_ + 1);
      Deflate(row, rowBytes_ + 1, Z_NO_FLUSH, out);
      std::swap(prev_, cur_);
    }
    Deflate(nullptr, 0, last == bitmap.Height() ? Z_FINISH : Z_FULL_FLUSH, out);
    out.resize(out.size() - stream_.avail_out);
  }

 private:
  // The current row filtered, behind its filter's number.
  const unsigned char* Filter() {
    if (filter_ != PngFilter::Adaptive) {
      kFilters[static_cast<int>(filter_)](cur_.data(), prev_.data(), rowBytes_, filtered_.data());
      return filtered_.data();
    }
    const unsigned char* best = nullptr;
    std::uint64_t least = 0;
    for (std::size_t f = 0; f < std::size(kFilters); ++f) {
      unsigned char* candidate = filtered_.data() + f * (rowBytes_ + 1);
      kFilters[f](cur_.data(), prev_.data(), rowBytes_, candidate);
      const std::uint64_t sum = SignedSum(candidate + 1, rowBytes_);
      if (best == nullptr || sum < least) {
        best = candidate;
        least = sum;
      }
    }
    return best;
  }

  void Deflate(const unsigned char* data, std::size_t size, int flush, Bytes& out) {
    stream_.next_in = const_cast<Bytef*>(data);
    stream_.avail_in = static_cast<uInt>(size);
    for (;;) {
      const int result = deflate(&stream_, flush);
      if (result == Z_STREAM_END) return;
      // With its state set up, deflate fails only for want of memory.
      if (result != Z_OK && result != Z_BUF_ERROR) throw std::bad_alloc();
      // Room left: the input is taken, the flush done; a stream that should
      // have ended and did not is a failure, not a reason to call again.
      if (stream_.avail_out > 0) {
        if (flush == Z_FINISH) throw std::bad_alloc();
        return;
      }
      // Out of room (never within the bound): more.
      const std::size_t used = out.size() - stream_.avail_out;
      out.resize(out.size() * 2);
      stream_.next_out = out.data() + used;
      stream_.avail_out = static_cast<uInt>(out.size() - used);
    }
  }

  z_stream stream_{};
  PngFilter filter_;
  std::size_t rowBytes_;
  Bytes prev_, cur_, filtered_;
};

// A piece's compressed bytes, handed from the thread that made them to the
// caller, which writes the pieces in order.
struct Piece {
  Bytes bytes;
  uLong adler = 1;
  std::size_t raw = 0;  // the filtered bytes it holds
  std::atomic<bool> ready{false};
};

// The first two bytes of a zlib stream: deflate with a 32 KiB window, and the
// level class readers may show.
void ZlibHeader(int level, unsigned char header[2]) {
  const int levelClass = level <= 1 ? 0 : level <= 5 ? 1 : level == 6 ? 2 : 3;
  header[0] = 0x78;
  header[1] = static_cast<unsigned char>(levelClass << 6);
  header[1] = static_cast<unsigned char>(header[1] + 31 - (header[0] * 256 + header[1]) % 31);
}

std::string ITxtData(std::string_view xmp) {
  // Keyword, no compression, no language tag, no translated keyword: how XMP
  // readers expect it.
  std::string data = kPngXmpKeyword;
  data.append(1, '\0');
  data.append(2, '\0');  // compression flag and method
  data.append(2, '\0');  // empty language tag and translated keyword
  data.append(xmp);
  return data;
}

}  // namespace

void EncodePng(const WorkBitmap& bitmap, const EncodeOptions& encoding, ByteSink& out) {
  const PngOptions& options = encoding.png;
  const int width = bitmap.Width(), height = bitmap.Height();
  const std::string xmpPacket = XmpPacketFor(width, height, encoding.metadata);
  if (width < 1 || height < 1) throw std::runtime_error("PNG writing failed: the image is empty");
  const int level = std::clamp(options.level, kMinPngLevel, kMaxPngLevel);
  const int threads = encoding.threads > 0 ? encoding.threads : DefaultRenderThreads();
  const std::size_t rowBytes = static_cast<std::size_t>(width) * kPixelBytes;
  const int pieceRows = options.pieceRows > 0
                            ? options.pieceRows
                            : static_cast<int>(std::clamp<std::size_t>(
                                  kPngPieceBytes / (rowBytes + 1), 1, kPngPieceRows));
  const int pieces = (height - 1) / pieceRows + 1;

  static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  out.Write(signature, 8);
  unsigned char header[13];
  PutU32(header, static_cast<std::uint32_t>(width));
  PutU32(header + 4, static_cast<std::uint32_t>(height));
  header[8] = 8;   // bits per channel
  header[9] = 2;   // colour type: RGB
  header[10] = 0;  // deflate
  header[11] = 0;  // adaptive filtering, a filter per row
  header[12] = 0;  // not interlaced
  WriteChunk(out, "IHDR", {{header, sizeof header}});
  // The pixels are sRGB, as the 8-bit pictures are everywhere in the
  // renderer; perceptual intent. gAMA and cHRM say the same to readers that
  // know no sRGB chunk: gamma 1/2.2 and the Rec. 709 primaries with D65
  // white, in hundred-thousandths, as the PNG standard lists them beside it.
  static const unsigned char intent[1] = {0};
  WriteChunk(out, "sRGB", {{intent, sizeof intent}});
  unsigned char gamma[4];
  PutU32(gamma, 45455);
  WriteChunk(out, "gAMA", {{gamma, sizeof gamma}});
  static constexpr std::uint32_t kChromaticities[8] = {31270, 32900, 64000, 33000,
                                                       30000, 60000, 15000, 6000};
  unsigned char chromaticities[32];
  for (int i = 0; i < 8; ++i) PutU32(chromaticities + 4 * i, kChromaticities[i]);
  WriteChunk(out, "cHRM", {{chromaticities, sizeof chromaticities}});
  if (!xmpPacket.empty()) {
    const std::string text = ITxtData(xmpPacket);
    WriteChunk(out, "iTXt", {{text.data(), text.size()}});
  }

  std::unique_ptr<Piece[]> made;
  std::vector<std::unique_ptr<PieceCompressor>> compressors;
  try {
    made = std::make_unique<Piece[]>(static_cast<std::size_t>(pieces));
    compressors.resize(static_cast<std::size_t>(std::min(threads, pieces)));
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("PNG writing failed: out of memory");
  }
  std::atomic<bool> failed{false};
  auto compress = [&](int thread, std::int64_t first, std::int64_t last) {
    for (std::int64_t p = first; p < last && !failed.load(std::memory_order_relaxed); ++p) {
      try {
        auto& compressor = compressors[static_cast<std::size_t>(thread)];
        if (!compressor)
          compressor = std::make_unique<PieceCompressor>(level, options.filter, rowBytes);
        const int y0 = static_cast<int>(p) * pieceRows;
        const int y1 = std::min(height, y0 + pieceRows);
        Piece& piece = made[p];
        compressor->Compress(bitmap, y0, y1, piece.bytes, piece.adler);
        piece.raw = static_cast<std::size_t>(y1 - y0) * (rowBytes + 1);
        piece.ready.store(true, std::memory_order_release);
      } catch (const std::bad_alloc&) {
        failed.store(true, std::memory_order_relaxed);
      }
    }
  };

  // The pieces go out in order as they are ready, on the calling thread.
  unsigned char zlibHeader[2];
  ZlibHeader(level, zlibHeader);
  uLong adler = adler32(0, nullptr, 0);
  int written = 0;
  auto writeReady = [&] {
    while (written < pieces && made[written].ready.load(std::memory_order_acquire)) {
      Piece& piece = made[written];
      adler = adler32_combine(adler, piece.adler, static_cast<z_off_t>(piece.raw));
      const bool first = written == 0, last = written + 1 == pieces;
      unsigned char trailer[4];
      PutU32(trailer, static_cast<std::uint32_t>(adler));
      WriteChunk(out, "IDAT",
                 {{zlibHeader, first ? 2u : 0u},
                  {piece.bytes.data(), piece.bytes.size()},
                  {trailer, last ? 4u : 0u}});
      Bytes().swap(piece.bytes);
      const int y0 = written * pieceRows;
      out.EncodedRows(std::min(height, y0 + pieceRows) - y0);
      ++written;
    }
  };
  WorkCrew crew(std::min(threads, pieces));
  crew.Run(pieces, 1, compress, [&](std::int64_t) {
    if (!failed.load(std::memory_order_relaxed)) writeReady();
    return failed.load(std::memory_order_relaxed);
  });
  if (failed.load(std::memory_order_relaxed))
    throw std::runtime_error("PNG writing failed: out of memory");
  writeReady();
  WriteChunk(out, "IEND", {});
  out.Flush();
}

}  // namespace horizonmill
