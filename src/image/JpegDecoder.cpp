// JPEG pictures through libjpeg. The library reports an error by calling
// error_exit, which jumps back to the decoder; as with PNG, everything with a
// destructor is made before the jump target is set, and an exception from the
// source is kept and thrown again once the jump has landed.
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <exception>
#include <limits>
#include <string>
#include <vector>

#include "image/PictureDecoding.h"
#include "platform/Interrupt.h"

namespace horizonmill::detail {
namespace {

constexpr std::size_t kInputBytes = 64 * 1024;
// A progressive picture has a handful of scans; thousands only make a damaged
// or hostile file take long.
constexpr int kMostScans = 1000;
// What libjpeg may allocate beyond the coefficients counted at admission
// (rows, tables, the buffers of the colour conversion).
constexpr long kWorkingMemory = 64L << 20;

struct JpegState {
  jpeg_error_mgr errors;
  jpeg_source_mgr input;
  jpeg_progress_mgr progress;
  std::jmp_buf jump;
  PictureSource* source;
  std::uint8_t* buffer;
  std::exception_ptr failure;  // thrown by the source or the interrupt check
  bool truncated;
  char message[JMSG_LENGTH_MAX];
};

JpegState& StateOf(j_common_ptr cinfo) { return *static_cast<JpegState*>(cinfo->client_data); }
JpegState& StateOf(j_decompress_ptr cinfo) { return *static_cast<JpegState*>(cinfo->client_data); }

[[noreturn]] void OnError(j_common_ptr cinfo) {
  JpegState& state = StateOf(cinfo);
  (*cinfo->err->format_message)(cinfo, state.message);
  std::longjmp(state.jump, 1);
}

// Warnings (corrupt data that the library decodes around) are not shown.
void OnMessage(j_common_ptr, int) {}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo) {
  JpegState& state = StateOf(cinfo);
  std::size_t got = 0;
  try {
    got = state.source->Read(state.buffer, kInputBytes);
  } catch (...) {
    state.failure = std::current_exception();
  }
  // The end of the data before the end of the picture: libjpeg would make up
  // the rest in grey, but a cut-off picture is an error here.
  if (!state.failure && got == 0) state.truncated = true;
  if (state.failure || state.truncated) std::longjmp(state.jump, 1);
  cinfo->src->next_input_byte = state.buffer;
  cinfo->src->bytes_in_buffer = got;
  return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr& src = *cinfo->src;
  auto left = static_cast<std::size_t>(count);
  while (left > src.bytes_in_buffer) {
    left -= src.bytes_in_buffer;
    src.bytes_in_buffer = 0;
    FillInput(cinfo);
  }
  src.next_input_byte += left;
  src.bytes_in_buffer -= left;
}

// Called between the rows of every scan while libjpeg reads a progressive
// picture: the interrupt and the number of scans are looked at here.
void OnProgress(j_common_ptr cinfo) {
  JpegState& state = StateOf(cinfo);
  auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (decompress->input_scan_number > kMostScans) {
    std::snprintf(state.message, sizeof state.message, "more than %d scans", kMostScans);
    std::longjmp(state.jump, 1);
  }
  try {
    StopIfInterrupted();
  } catch (...) {
    state.failure = std::current_exception();
  }
  if (state.failure) std::longjmp(state.jump, 1);
}

class Decompressor {
 public:
  explicit Decompressor(JpegState& state) {
    cinfo.err = jpeg_std_error(&state.errors);
    state.errors.error_exit = OnError;
    state.errors.emit_message = OnMessage;
    cinfo.client_data = &state;
  }
  ~Decompressor() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  jpeg_decompress_struct cinfo{};
  bool created = false;
};

// The whole-picture coefficient buffers of a picture read in several scans:
// every component's blocks, 64 coefficients of 2 bytes each.
std::int64_t CoefficientBytes(const jpeg_decompress_struct& cinfo) {
  std::int64_t bytes = 0;
  for (int c = 0; c < cinfo.num_components; ++c) {
    const jpeg_component_info& comp = cinfo.comp_info[c];
    const std::int64_t across = comp.width_in_blocks + comp.h_samp_factor;
    const std::int64_t down = comp.height_in_blocks + comp.v_samp_factor;
    bytes += across * down * static_cast<std::int64_t>(sizeof(JBLOCK));
  }
  return bytes;
}

// The least coded data the picture's blocks take: a Huffman-coded block of a
// sequential scan takes at least two bits (the shortest code of its DC
// difference and of its end of block), one of a progressive picture at least
// one (its DC in the first scan). Nothing is said of arithmetic coding.
std::int64_t LeastScanBytes(const jpeg_decompress_struct& cinfo) {
  if (cinfo.arith_code) return 0;
  std::int64_t blocks = 0;
  for (int c = 0; c < cinfo.num_components; ++c) {
    const jpeg_component_info& comp = cinfo.comp_info[c];
    blocks += std::int64_t{comp.width_in_blocks} * comp.height_in_blocks;
  }
  return blocks * (cinfo.progressive_mode ? 1 : 2) / 8;
}

}  // namespace

Picture DecodeJpeg(PictureSource& source, const AdmitPicture& admit) {
  std::vector<std::uint8_t> input(kInputBytes);
  JpegState state{};
  state.source = &source;
  state.buffer = input.data();
  Decompressor decompressor(state);
  jpeg_decompress_struct& cinfo = decompressor.cinfo;
  Picture picture;
  std::vector<JSAMPLE> row;
  if (setjmp(state.jump)) {
    if (state.failure) std::rethrow_exception(state.failure);
    if (state.truncated) throw PictureError(kTruncated);
    throw PictureError(std::string("damaged JPEG data (") + state.message + ")");
  }
  jpeg_create_decompress(&cinfo);
  decompressor.created = true;
  state.input.init_source = InitSource;
  state.input.fill_input_buffer = FillInput;
  state.input.skip_input_data = SkipInput;
  state.input.resync_to_restart = jpeg_resync_to_restart;
  state.input.term_source = TermSource;
  cinfo.src = &state.input;
  state.progress.progress_monitor = OnProgress;
  cinfo.progress = &state.progress;
  jpeg_read_header(&cinfo, TRUE);

  const JDIMENSION w = cinfo.image_width, h = cinfo.image_height;
  CheckPictureSides(w, h);
  const int width = static_cast<int>(w), height = static_cast<int>(h);
  const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  if (!grey && cinfo.jpeg_color_space != JCS_YCbCr && cinfo.jpeg_color_space != JCS_RGB)
    throw PictureError(cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK
                           ? "CMYK JPEG pictures are not read (save the picture as RGB)"
                           : "the JPEG picture's colour space is not read");
  const bool severalScans = cinfo.progressive_mode || cinfo.comps_in_scan < cinfo.num_components;
  const std::int64_t coefficients = severalScans ? CoefficientBytes(cinfo) : 0;
  admit(width, height, coefficients);
  // A frame far larger than its data (a hostile or damaged header) is told
  // before the picture's memory is taken; a size beyond the limits is told
  // as that, above.
  CheckClaimAgainstData(source, "JPEG", width, height, LeastScanBytes(cinfo));
  cinfo.mem->max_memory_to_use = static_cast<long>(
      std::min<std::int64_t>(coefficients + kWorkingMemory, std::numeric_limits<long>::max()));

  // The picture's own colours: the library's defaults (accurate integer
  // transform, smooth chroma upsampling), grey expanded here.
  cinfo.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  if (!picture.bitmap.Resize(width, height)) NoMemoryForPicture(width, height);
  jpeg_start_decompress(&cinfo);
  const int components = cinfo.output_components;
  if (static_cast<int>(cinfo.output_width) != width ||
      static_cast<int>(cinfo.output_height) != height || components != (grey ? 1 : 3))
    throw PictureError("unexpected JPEG output layout");
  row.resize(static_cast<std::size_t>(width) * components);
  while (cinfo.output_scanline < cinfo.output_height) {
    StopIfInterrupted();
    const int y = static_cast<int>(cinfo.output_scanline);
    JSAMPROW rows[1] = {row.data()};
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) throw PictureError(kTruncated);
    BgrPixel* out = picture.bitmap.Row(y);
    const JSAMPLE* in = row.data();
    if (grey) {
      for (int x = 0; x < width; ++x) out[x] = BgrPixel{in[x], in[x], in[x]};
    } else {
      for (int x = 0; x < width; ++x, in += 3) out[x] = BgrPixel{in[2], in[1], in[0]};
    }
  }
  jpeg_finish_decompress(&cinfo);
  return picture;
}

}  // namespace horizonmill::detail
