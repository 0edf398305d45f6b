// PNG pictures through libpng. libpng reports an error by a long jump back to
// the decoder, so everything with a destructor is made before the jump target
// is set, and the callbacks hold nothing of the kind when they fail: an
// exception from the source is kept and thrown again once the jump has landed.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "image/PictureDecoding.h"
#include "platform/Interrupt.h"

namespace horizonmill::detail {
namespace {

// The largest ancillary chunk (text, profile) libpng holds in memory; the
// pixels stream through zlib in pieces and are not bound by it.
constexpr png_alloc_size_t kChunkMemory = png_alloc_size_t{8} << 20;

// The ancillary chunks libpng knows, but the reader has no use for; five bytes
// each (the name and a zero).
constexpr png_byte kIgnoredChunks[] =
    "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0"
    "sRGB\0tEXt\0tIME\0zTXt";

struct PngState {
  PictureSource* source;
  std::exception_ptr failure;  // thrown by the source
  char message[200];
};

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", message);
  png_longjmp(png, 1);
}

// Warnings (a damaged ancillary chunk, which libpng drops) change no pixel.
void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep out, std::size_t size) {
  auto* state = static_cast<PngState*>(png_get_io_ptr(png));
  std::size_t got = 0;
  try {
    got = state->source->Read(out, size);
  } catch (...) {
    state->failure = std::current_exception();
  }
  if (state->failure) png_error(png, "the source failed");
  if (got < size) png_error(png, kTruncated);
}

class PngStructs {
 public:
  explicit PngStructs(PngState& state) {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    if (png != nullptr) info = png_create_info_struct(png);
    if (info == nullptr) {
      png_destroy_read_struct(&png, nullptr, nullptr);
      throw std::bad_alloc();
    }
  }
  ~PngStructs() { png_destroy_read_struct(&png, &info, nullptr); }
  PngStructs(const PngStructs&) = delete;
  PngStructs& operator=(const PngStructs&) = delete;

  png_structp png = nullptr;
  png_infop info = nullptr;
};

// One decoded row of RGBA into the bitmap's row y and, when the picture may
// have holes, into its hole mask.
void StoreRow(const png_byte* rgba, int y, Picture& picture) {
  const int width = picture.bitmap.Width();
  BgrPixel* out = picture.bitmap.Row(y);
  for (int x = 0; x < width; ++x, rgba += 4) out[x] = BgrPixel{rgba[2], rgba[1], rgba[0]};
  if (picture.holes.empty()) return;
  std::uint8_t* holes = picture.holes.data() + static_cast<std::ptrdiff_t>(y) * width;
  rgba -= std::ptrdiff_t{4} * width;
  // Below half is a hole: 127 of 255 is, 128 is not (16-bit alpha is scaled
  // to 8 bits first, so 32767 of 65535 is a hole and 32768 is not).
  for (int x = 0; x < width; ++x) holes[x] = rgba[4 * x + 3] < 128;
}

bool AnyHole(const std::vector<std::uint8_t>& holes) {
  for (const std::uint8_t h : holes)
    if (h != 0) return true;
  return false;
}

// The least compressed data the picture's rows take: deflate codes at most
// 258 bytes in two bits, so the rows (each with its filter byte, in every
// pass) take at least 1/1032 of their size.
std::int64_t LeastRowBytes(png_structp png, png_infop info, int width, int height) {
  const std::int64_t bitsPerPixel =
      std::int64_t{png_get_bit_depth(png, info)} * png_get_channels(png, info);
  const std::int64_t rowBytes = (width * bitsPerPixel + 7) / 8;
  return (height * (rowBytes + 1)) / 1032;
}

}  // namespace

Picture DecodePng(PictureSource& source, const AdmitPicture& admit) {
  PngState state{&source, nullptr, ""};
  PngStructs structs(state);
  png_structp png = structs.png;
  png_infop info = structs.info;
  Picture picture;
  std::vector<png_byte> rows;
  if (setjmp(png_jmpbuf(png))) {
    if (state.failure) std::rethrow_exception(state.failure);
    if (std::strcmp(state.message, kTruncated) == 0) throw PictureError(kTruncated);
    throw PictureError(std::string("damaged PNG data (") + state.message + ")");
  }
  png_set_read_fn(png, &state, OnRead);
  // The size limits are ours (admit), checked with a reason of their own.
  png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  png_set_chunk_malloc_max(png, kChunkMemory);
  // Only the pixels, the palette and the transparency are read; every other
  // chunk (text, profiles, gamma: no colour is changed by them) is passed
  // over as it comes, whatever length it claims, and nothing is held for it.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks,
                              static_cast<int>(sizeof kIgnoredChunks / 5));
  png_read_info(png, info);

  png_uint_32 w = 0, h = 0;
  int depth = 0, colour = 0, interlace = 0;
  png_get_IHDR(png, info, &w, &h, &depth, &colour, &interlace, nullptr, nullptr);
  CheckPictureSides(w, h);
  const int width = static_cast<int>(w), height = static_cast<int>(h);
  const bool alpha =
      (colour & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  const bool interlaced = interlace != PNG_INTERLACE_NONE;
  const std::int64_t pixels = std::int64_t{width} * height;
  // The hole mask here and the one the PixelImage gets; an interlaced
  // picture's passes are combined in a whole RGBA picture.
  admit(width, height, (alpha ? 2 * pixels : 0) + (interlaced ? 4 * pixels : 0));
  // Rows far beyond what the data can hold (a hostile or damaged header) are
  // told before the picture's memory is taken; a size beyond the limits is
  // told as that, above.
  CheckClaimAgainstData(source, "PNG", width, height, LeastRowBytes(png, info, width, height));

  // Every kind becomes 8-bit RGBA: palettes, grey and tRNS expanded, 16 bits
  // scaled with rounding, an opaque alpha added where the file has none.
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  if (!alpha) png_set_filler(png, 0xff, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const std::size_t rowBytes = std::size_t{4} * width;
  if (png_get_rowbytes(png, info) != rowBytes) throw PictureError("unexpected PNG row layout");

  if (!picture.bitmap.Resize(width, height)) NoMemoryForPicture(width, height);
  if (alpha) picture.holes.assign(static_cast<std::size_t>(pixels), 0);
  if (!interlaced) {
    rows.resize(rowBytes);
    for (int y = 0; y < height; ++y) {
      StopIfInterrupted();
      png_read_row(png, rows.data(), nullptr);
      StoreRow(rows.data(), y, picture);
    }
  } else {
    rows.resize(rowBytes * height);
    for (int pass = 0; pass < passes; ++pass)
      for (int y = 0; y < height; ++y) {
        StopIfInterrupted();
        png_read_row(png, rows.data() + rowBytes * y, nullptr);
      }
    for (int y = 0; y < height; ++y) StoreRow(rows.data() + rowBytes * y, y, picture);
  }
  // The chunks after the pixels: a file cut short there is truncated too.
  png_read_end(png, nullptr);
  if (alpha && !AnyHole(picture.holes)) std::vector<std::uint8_t>().swap(picture.holes);
  return picture;
}

}  // namespace horizonmill::detail
