#include "app/RenderAndWrite.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "app/Session.h"
#include "output/SunDirection.h"
#include "platform/FileError.h"

namespace horizonmill {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Standard output as a sink: the bytes go out as they come.
class StandardOutputSink : public ByteSink {
 public:
  using ByteSink::Write;
  void Write(const void* data, std::size_t size) override {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t n = ::write(STDOUT_FILENO, p, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        throw FileError("standard output", ErrnoReason(errno));
      }
      p += n;
      size -= static_cast<std::size_t>(n);
    }
  }
};

// The extension that chooses the format in EncodeImage.
const char* ExtensionOf(ImageFormat format) {
  switch (format) {
    case ImageFormat::Bmp:
      return ".bmp";
    case ImageFormat::Png:
      return ".png";
    case ImageFormat::Jpeg:
      break;
  }
  return ".jpg";
}

}  // namespace

void WritePlannedFiles(const Session& session, const OutputPlan& plan, const WorkBitmap& picture) {
  std::vector<FileToWrite> files;
  if (!plan.image.empty() && !plan.ToStandardOutput())
    files.push_back({plan.image, [&](ByteSink& out) {
                       EncodeImage(picture, plan.image, plan.quality, plan.metadata, out);
                     }});
  const std::string sun =
      plan.sun.empty()
          ? ""
          : SunJson(DescribeSun(session.Scene().Sun, plan.size.width, plan.size.height));
  if (!sun.empty()) files.push_back({plan.sun, [&](ByteSink& out) { out.Write(sun); }});
  if (plan.ToStandardOutput()) {
    StandardOutputSink out;
    EncodeImage(picture, ExtensionOf(plan.imageFormat), plan.quality, plan.metadata, out);
  }
  if (plan.faces)
    WriteCubeMap(picture, plan.cubemap, plan.faceSize, *plan.faces, plan.quality, files);
  else if (!files.empty())
    WriteFilesAtomically(files);
}

RunResult RenderAndWrite(Session& session, const OutputPlan& plan, AppHost& host) {
  RunResult result;
  const auto renderStart = Clock::now();
  if (plan.Renders()) {
    if (plan.preview) {
      session.RenderPreview();
    } else if (!session.RenderOutput()) {
      result.outcome = RunOutcome::OutOfMemory;
      result.reason = OutputSizeProblem(plan.size);
      return result;
    }
    result.aborted = session.Context().AbortRequested;
    result.renderSeconds = SecondsSince(renderStart);
    if (result.aborted && !host.KeepAbortedRender()) {
      result.outcome = RunOutcome::NotWritten;
      return result;
    }
  }
  const auto writeStart = Clock::now();
  WritePlannedFiles(session, plan, plan.preview ? session.PreviewBitmap() : session.OutputBitmap());
  result.writeSeconds = SecondsSince(writeStart);
  return result;
}

}  // namespace horizonmill
