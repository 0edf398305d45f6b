// OpenEXR output through the OpenEXR library: red, green and blue as half
// floats, ZIP compression (sixteen rows a block), scan lines from the top,
// Rec. 709 primaries with the D65 white point in the file's chromaticities.
#pragma once

#include "codecs/EncodeOptions.h"
#include "codecs/LinearPicture.h"
#include "platform/ByteSink.h"

namespace horizonmill {

// Writes the picture into the sink and flushes it. Values beyond the largest
// half (65504) are held there, values below 0 and no-numbers become 0. A
// picture that says it is a full panorama (the options' metadata,
// codecs/PanoramaXmp.h) is marked as a latitude-longitude environment map
// ("envmap" 0): the library's rule puts its left edge at −Z, a quarter in at
// +X and up at +Y, which is the panorama's direction rule. The rest of the
// options are other formats'. The sink hears of every row encoded
// (ByteSink::EncodedRows) and may stop the writing by throwing. The rows are
// turned into halves on the options' threads and compressed on as many of the
// library's (a pool the process shares, grown to the most any writing asked
// for); the bytes are the same for any number. A failure of
// the library throws std::runtime_error with its message. The whole file is
// made in memory first (the library goes back to write its table of row
// offsets), then handed to the sink.
void EncodeExr(const LinearPicture& picture, const EncodeOptions& options, ByteSink& out);

}  // namespace horizonmill
