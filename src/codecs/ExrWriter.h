// OpenEXR output: red, green and blue as half floats (codecs/HalfFloat.h), ZIP
// compression (sixteen rows a block), scan lines from the top, Rec. 709
// primaries with the D65 white point in the file's chromaticities. The writer
// lays out the file itself (one part of scan lines) and deflates the blocks on
// the options' threads; the bytes are the same for any number of them.
#pragma once

#include "codecs/EncodeOptions.h"
#include "codecs/LinearPicture.h"
#include "platform/ByteSink.h"

namespace horizonmill {

// Writes the picture into the sink and flushes it. Values beyond the largest
// half (65504) are held there, values below 0 and no-numbers become 0. A
// picture that says it is a full panorama (the options' metadata,
// codecs/PanoramaXmp.h) is marked as a latitude-longitude environment map
// ("envmap" 0): the format's rule puts its left edge at −Z, a quarter in at
// +X and up at +Y, which is the panorama's direction rule. Of the rest of the
// options the writer takes the deflate level (options.exr) and the threads.
// The sink hears of the rows block by block, in order
// (ByteSink::EncodedRows), and may stop the writing by throwing. The whole
// file is made in memory first (its table of where each block starts comes
// before the blocks), then handed to the sink.
void EncodeExr(const LinearPicture& picture, const EncodeOptions& options, ByteSink& out);

}  // namespace horizonmill
