#include "app/RenderAndWrite.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

#include "app/Session.h"
#include "codecs/AmbientLight.h"
#include "codecs/HdrLight.h"
#include "platform/FileError.h"
#include "platform/FillEmptyFile.h"
#include "platform/Interrupt.h"
#include "render/Pipeline.h"
#include "render/SunDirection.h"
#include "render/SunWeights.h"

namespace horizonmill {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Standard output as a sink: the bytes go out as they come. A reader that
// stalls or reads slowly never holds the writer past an interrupt: the
// writer waits for room at most kPipeWait at a time, looking at the
// interrupt between waits, and writes no more than the room there is
// (PIPE_BUF bytes, which a pipe with room takes without waiting).
class StandardOutputSink : public ByteSink {
 public:
  StandardOutputSink() {
    struct stat st;
    chunk_ = ::fstat(STDOUT_FILENO, &st) == 0 && S_ISREG(st.st_mode) ? kBlockBytes : PIPE_BUF;
  }
  using ByteSink::Write;
  void Write(const void* data, std::size_t size) override {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
      StopIfInterrupted();
      pollfd out{STDOUT_FILENO, POLLOUT, 0};
      const int ready = ::poll(&out, 1, kPipeWaitMs);
      if (ready < 0 && errno != EINTR) Fail(errno);
      if (ready <= 0) continue;
      // A reader gone: the write below says so (EPIPE, SIGPIPE being ignored).
      const ssize_t n = ::write(STDOUT_FILENO, p, std::min(size, chunk_));
      if (n < 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        Fail(errno);
      }
      p += n;
      size -= static_cast<std::size_t>(n);
    }
  }

 private:
  static constexpr int kPipeWaitMs = 200;
  static constexpr std::size_t kBlockBytes = 256 * 1024;
  [[noreturn]] static void Fail(int error) {
    throw FileError("standard output", error == EPIPE ? "the reader closed the pipe before the "
                                                        "whole image was written"
                                                      : ErrnoReason(error));
  }
  std::size_t chunk_;
};

// The plan's files, `sun` the sun's description (empty: none), `glow` what the
// HDR outputs add. Reads nothing of the session: it may run beside the
// window's thread.
void WriteFiles(const OutputPlan& plan, const WorkBitmap& picture, const std::string& sun,
                const SunGlow& glow, WriteProgress* progress) {
  // A thumbnail is the picture scaled (area average, or bilinear when it
  // grows) and written as PNG whatever its name.
  WorkBitmap thumbnail;
  const OutputSize size = plan.ImageSize();
  // A picture rendered at the thumbnail's size is written as it is.
  const bool scaled =
      plan.thumbnail > 0 && (size.width != picture.Width() || size.height != picture.Height());
  if (scaled && !plan.image.empty()) {
    if (!thumbnail.Resize(size.width, size.height))
      throw FileError(plan.ToStandardOutput() ? "standard output" : plan.image,
                      "memory ran out for the thumbnail");
    StretchDraw(picture, thumbnail);
  }
  const WorkBitmap& image = scaled ? thumbnail : picture;
  const EncodeOptions encoding{.quality = plan.quality,
                               .metadata = plan.metadata,
                               .png = plan.png,
                               .threads = plan.threads,
                               .glow = &glow};
  std::vector<FileToWrite> files;
  // A thumbnail is small: encoded at once, and written into the empty file a
  // thumbnail service made for it when there is one (the service reads that
  // very file back), otherwise as any other file.
  const bool imageFile = !plan.image.empty() && !plan.ToStandardOutput();
  MemorySink thumbnailBytes;
  if (imageFile && plan.thumbnail > 0) {
    EncodeImage(image, plan.imageFormat, encoding, thumbnailBytes);
    // A name that may not be replaced is not filled either: an empty file
    // there came during the run, and is someone else's.
    if (!plan.replaceImage || !FillEmptyFile(plan.image, thumbnailBytes.Bytes()))
      files.push_back({plan.image, [&](ByteSink& out) { out.Write(thumbnailBytes.Bytes()); }, 0,
                       plan.replaceImage});
  } else if (imageFile) {
    files.push_back({plan.image,
                     [&](ByteSink& out) { EncodeImage(image, plan.imageFormat, encoding, out); },
                     image.Height(), plan.replaceImage});
  }
  if (!sun.empty()) files.push_back({plan.sun, [&](ByteSink& out) { out.Write(sun); }});
  // The ambient light from the same linear light as the HDR outputs.
  std::string sh;
  if (!plan.sh.empty()) {
    sh = IrradianceShJson(IrradianceOf(LinearPictureOf(picture, glow), plan.threads),
                          picture.Width(), picture.Height(), plan.sunRatio);
    files.push_back({plan.sh, [&](ByteSink& out) { out.Write(sh); }});
  }
  if (plan.ToStandardOutput()) {
    StandardOutputSink out;
    EncodeImage(image, plan.imageFormat, encoding, out);
  }
  if (plan.faces)
    WriteCubeMap(picture, plan.cubemap, plan.CubeOptions(&glow), files, progress);
  else if (!files.empty())
    WriteFilesAtomically(files, progress);
}

// The sun's share of the HDR outputs: a lobe around the sun's direction when
// the render kept weights that show the sun layer drew, else none (nothing
// added).
SunLight SunLightOf(const Session& session, const OutputPlan& plan, const WorkBitmap& picture,
                    const SunWeights* weights) {
  if (!weights || !plan.KeepsSunWeights()) return SunLight{plan.sunRatio};
  const SceneSettings& scene = session.Scene();
  return ComputeSunLight(picture, *weights, scene.Sun, plan.sunRatio, scene.Ground.Enabled);
}

// `kept`: whether the render kept the sun's weights, so that k is known.
std::string SunOf(const Session& session, const OutputPlan& plan, const SunLight& light,
                  bool kept) {
  if (plan.sun.empty()) return "";
  SunDirection sun = DescribeSun(session.Scene().Sun, plan.size.width, plan.size.height);
  sun.sunRatio = plan.sunRatio;
  if (kept && plan.KeepsSunWeights()) sun.sunScale = light.scale;
  return SunJson(sun);
}

// Lends the render context the weights while the render runs.
class KeptSunWeights {
 public:
  KeptSunWeights(RenderContext& context, SunWeights* weights) : context_(context) {
    context_.SunWeightsOut = weights;
  }
  ~KeptSunWeights() { context_.SunWeightsOut = nullptr; }
  KeptSunWeights(const KeptSunWeights&) = delete;
  KeptSunWeights& operator=(const KeptSunWeights&) = delete;

 private:
  RenderContext& context_;
};

// The folders this run writes into, for the clean-up of what killed runs left.
std::vector<std::string> FoldersOf(const OutputPlan& plan) {
  std::vector<std::string> folders;
  for (const std::string& name : plan.Names()) {
    const auto slash = name.rfind('/');
    folders.push_back(slash == std::string::npos ? "."
                                                 : name.substr(0, std::max<std::size_t>(slash, 1)));
  }
  return folders;
}

}  // namespace

void WritePlannedFiles(const Session& session, const OutputPlan& plan, const WorkBitmap& picture,
                       WriteProgress* progress, const SunWeights* weights) {
  const SunLight light = SunLightOf(session, plan, picture, weights);
  WriteFiles(plan, picture, SunOf(session, plan, light, weights != nullptr), light.Glow(),
             progress);
}

bool DrawPlannedRender(const PlannedRender& render, RenderContext& context, WorkBitmap& output,
                       WorkBitmap& preview) {
  const KeptSunWeights kept(context, render.weights);
  if (!render.full && render.previewSize) {
    if (!output.Resize(render.previewSize->width, render.previewSize->height)) return false;
    RenderBackground(context, *render.scene, output, output);
    return true;
  }
  if (!render.full) {
    RenderBackground(context, *render.scene, preview, preview);
    return true;
  }
  return RenderFullSize(context, *render.scene, render.resolution, output, preview);
}

std::unique_ptr<WriteRun> BeginRenderAndWrite(Session& session, const OutputPlan& plan) {
  auto run = std::make_unique<WriteRun>();
  run->plan = plan;
  run->started = Clock::now();
  // Every weight 0 until the sun layer sets them: a render aborted before it
  // adds no sun.
  run->weights = std::make_unique<SunWeights>();
  if (plan.Renders() && plan.KeepsSunWeights() &&
      !run->weights->Reset(plan.size.width, plan.size.height)) {
    run->result.outcome = RunOutcome::OutOfMemory;
    run->result.reason = "memory ran out for the sun's weights of a " +
                         std::to_string(plan.size.width) + " x " +
                         std::to_string(plan.size.height) + " HDR image";
    run->ended = true;
    return run;
  }
  if (plan.Renders()) {
    run->render.scene = session.Prepare().scene;
    run->render.full = !plan.preview;
    if (plan.preview && !plan.InPreviewBitmap()) run->render.previewSize = plan.size;
    run->render.resolution = session.Scene().Output.Resolution;
    if (plan.KeepsSunWeights()) run->render.weights = run->weights.get();
  }
  return run;
}

RunResult EndRenderAndWrite(Session& session, WriteRun& run, bool drawn, AppHost& host) {
  RunResult& result = run.result;
  const OutputPlan& plan = run.plan;
  if (run.ended) return result;
  if (plan.Renders()) {
    if (!drawn) {
      result.outcome = RunOutcome::OutOfMemory;
      result.reason = OutputSizeProblem(plan.size);
      return result;
    }
    result.aborted = session.Context().AbortRequested;
    result.renderSeconds = SecondsSince(run.started);
    if (result.aborted && !host.KeepAbortedRender()) {
      result.outcome = RunOutcome::NotWritten;
      return result;
    }
  }
  const auto writeStart = Clock::now();
  RemoveLeftTemporariesIn(FoldersOf(plan), host);
  // What the writing needs of the session is taken here, on the caller's thread.
  const SunWeights& weights = *run.weights;
  const WorkBitmap& picture =
      plan.InPreviewBitmap() ? session.PreviewBitmap() : session.OutputBitmap();
  const SunLight light = SunLightOf(session, plan, picture, plan.Renders() ? &weights : nullptr);
  const std::string sun = SunOf(session, plan, light, plan.Renders());
  const SunGlow glow = light.Glow();
  if (!WriteAfterRender(session.Context(), host, [&](WriteProgress& progress) {
        WriteFiles(plan, picture, sun, glow, &progress);
      })) {
    result.outcome = RunOutcome::NotWritten;
    result.writeAborted = true;
  }
  result.writeSeconds = SecondsSince(writeStart);
  return result;
}

RunResult RenderAndWrite(Session& session, const OutputPlan& plan, AppHost& host) {
  const std::unique_ptr<WriteRun> run = BeginRenderAndWrite(session, plan);
  bool drawn = true;
  if (!run->ended && plan.Renders())
    drawn = DrawPlannedRender(run->render, session.Context(), session.OutputTarget(),
                              session.PreviewBitmap());
  return EndRenderAndWrite(session, *run, drawn, host);
}

}  // namespace horizonmill
