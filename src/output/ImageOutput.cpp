#include "output/ImageOutput.h"

#include <algorithm>
#include <cctype>

#include "image/BmpWriter.h"
#include "image/ImageLimits.h"
#include "output/JpegWriter.h"
#include "platform/AtomicFile.h"
#include "render/Pipeline.h"
#include "render/RenderContext.h"

namespace horizonmill {

OutputSize OutputSizeOf(const OutputResolution& resolution) {
  return OutputSize{std::max(ToInteger(resolution.Width), 1),
                    std::max(ToInteger(resolution.Height), 1)};
}

std::string LowerCaseExtension(std::string_view filename) {
  const auto separator = filename.find_last_of("/\\:");
  const auto dot = filename.rfind('.');
  if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator))
    return {};
  std::string ext(filename.substr(dot));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

bool IsBmpFilename(std::string_view filename) { return LowerCaseExtension(filename) == ".bmp"; }

void SaveAsBmp(const WorkBitmap& bitmap, const std::string& path) {
  WriteFileAtomically(path, [&](ByteSink& out) { EncodeBmp(bitmap, out); });
}

void SaveAsJpeg(const WorkBitmap& bitmap, const std::string& path, int quality) {
  WriteFileAtomically(path, [&](ByteSink& out) { EncodeJpeg(bitmap, quality, out); });
}

void SaveImage(const WorkBitmap& bitmap, const std::string& path, int quality) {
  if (IsBmpFilename(path))
    SaveAsBmp(bitmap, path);
  else
    SaveAsJpeg(bitmap, path, quality);
}

OutputResult RenderAndSave(RenderContext& context, SceneSettings& scene, WorkBitmap& output,
                           WorkBitmap& preview, int quality) {
  const OutputSize size = OutputSizeOf(scene.Output.Resolution);
  if (!output.Resize(size.width, size.height)) {
    context.Host->Beep();
    context.Host->MessageBox(kMemoryExhausted);
    return OutputResult::OutOfMemory;
  }
  RenderBackground(context, scene, output, preview);
  if (context.Host->WantsPreview()) {
    StretchDraw(output, preview);
    context.Host->ShowPreview(preview);
  }
  if (scene.Output.Filename.empty()) return OutputResult::NoFilename;
  SaveImage(output, scene.Output.Filename, quality);
  return OutputResult::Written;
}

}  // namespace horizonmill
