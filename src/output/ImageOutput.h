// The output command without its window: size the output bitmap from the
// resolution texts, render at full size, write BMP or JPEG by the file name.
#pragma once

#include <string>
#include <string_view>

#include "image/WorkBitmap.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

struct RenderContext;  // render/RenderContext.h

struct OutputSize {
  int width;
  int height;
};
// The resolution texts as integers; a value below 1 (text that does not
// convert counts as 0) becomes 1.
OutputSize OutputSizeOf(const OutputResolution& resolution);

// The extension of a file name: from the last "." that follows the last
// separator ("/", "\" or ":"), lower-cased; empty when there is none.
std::string LowerCaseExtension(std::string_view filename);
// True when the name's extension is ".bmp" (in any case): such files are
// written as BMP, every other name as JPEG.
bool IsBmpFilename(std::string_view filename);

// Write the bitmap atomically; throw FileError naming the file on failure.
void SaveAsBmp(const WorkBitmap& bitmap, const std::string& path);
void SaveAsJpeg(const WorkBitmap& bitmap, const std::string& path, int quality);
// BMP or JPEG by the extension rule.
void SaveImage(const WorkBitmap& bitmap, const std::string& path, int quality);

enum class OutputResult {
  Written,      // rendered and written (also after an abort: what was drawn)
  NoFilename,   // rendered; the output name is empty, nothing written
  OutOfMemory,  // the size breaks the limits or memory ran out: nothing rendered
};

// Sizes `output` from the scene, renders into it, shows the result in the
// preview and writes Output.Filename. On OutOfMemory the host has heard the
// beep and "メモリー枯渇！". Throws FileError when the file cannot be written.
OutputResult RenderAndSave(RenderContext& context, SceneSettings& scene, WorkBitmap& output,
                           WorkBitmap& preview, int quality);

}  // namespace horizonmill
