#include "ui/OutputCommands.h"

#include "app/RenderAndWrite.h"
#include "image/ImageLimits.h"
#include "platform/FileError.h"
#include "render/Pipeline.h"
#include "ui/CoreTexts.h"
#include "ui/OutputControls.h"
#include "ui/PreviewArea.h"
#include "ui/ProgramIni.h"
#include "ui/RenderPanel.h"
#include "ui/SequenceHost.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

OutputCommands::OutputCommands(Session& session, UserDialogs& dialogs, QWidget* window,
                               SessionView& view, ProgramIni& programIni, RenderPanel& panel,
                               OutputControls& controls)
    : QObject(window),
      session_(session),
      dialogs_(dialogs),
      window_(window),
      view_(view),
      programIni_(programIni),
      panel_(panel),
      controls_(controls) {}

void OutputCommands::ReferOutPutClick() {
  if (const auto chosen = programIni_.RunFileDialog(programIni_.OutPutOpen()))
    controls_.SetOutputName(*chosen);
  if (programIni_.WriteProgramIni()) view_.RedrawAll();
}

void OutputCommands::RunPlan(const OutputPlan& plan) {
  panel_.ShowInLookAround(&session_.OutputBitmap());
  SequenceHost host(dialogs_, window_, panel_);
  RunResult result;
  try {
    result = RenderAndWrite(session_, plan, host);
  } catch (const FileError& e) {
    panel_.AfterRender();
    dialogs_.Error(window_, tr("画像ファイルを書き込めませんでした。"), Q(e.what()));
    return;
  }
  panel_.AfterRender();
  if (result.outcome == RunOutcome::OutOfMemory) host.TellOutOfMemory(result.reason);
  // The preview shows what was drawn; it says why the image is unfinished, or
  // not written.
  if ((result.aborted || result.writeAborted) && !panel_.CloseAfterRender())
    panel_.Preview().ShowMessage(CoreText(kAbortedMessage));
}

void OutputCommands::Refused(const std::string& error, const QString& what) {
  // A size beyond the image limits is told as memory exhausted, the limit
  // in the details.
  const std::string_view memory = kMemoryExhausted;
  if (error.starts_with(memory)) {
    std::string detail = error.substr(memory.size());
    detail.erase(0, detail.find_first_not_of(" ("));
    if (detail.ends_with(')')) detail.pop_back();
    dialogs_.Error(window_, CoreText(memory), Q(detail));
    return;
  }
  dialogs_.Error(window_, what, Q(error));
}

void OutputCommands::GoClick() {
  if (session_.Context().Rendering) return;
  // The name is the user's own here, so an existing file is replaced; a name
  // that cannot be written (a missing folder, a folder, a device, a JPEG too
  // large) is said before the render.
  OutputRequest request;
  request.image = session_.Scene().Output.Filename;
  const PlannedOutputs planned = PlanOutputs(request, session_);
  if (!planned.plan) {
    Refused(planned.error, tr("画像ファイルを出力できません。"));
    return;
  }
  if (planned.plan->Renders()) RunPlan(*planned.plan);
}

void OutputCommands::CubeMap1Click() {
  if (session_.Context().Rendering) return;
  const auto chosen =
      dialogs_.ChooseFolder(window_, tr("キューブマップを出力するフォルダー"), cubeMapFolder_);
  if (!chosen) return;
  cubeMapFolder_ = *chosen;
  OutputRequest request;
  request.cubemap = chosen->toStdString();
  request.faceFormat = kDefaultCubeFaceFormat;
  const PlannedOutputs planned = PlanOutputs(request, session_);
  if (!planned.plan) {
    Refused(planned.error, tr("キューブマップを出力できません。"));
    return;
  }
  if (!planned.plan->ExistingFaces().empty() &&
      !dialogs_.Ask(
          window_,
          tr("このフォルダーのキューブマップ（px, nx, py, ny, pz, nz）を置き換えますか？")))
    return;
  RunPlan(*planned.plan);
}

}  // namespace horizonmill::ui
