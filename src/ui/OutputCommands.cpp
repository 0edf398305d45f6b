#include "ui/OutputCommands.h"

#include "app/RenderAndWrite.h"
#include "platform/FileError.h"
#include "render/Pipeline.h"
#include "ui/CoreTexts.h"
#include "ui/CubeMapForm.h"
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
      controls_(controls),
      cubeMapForm_(new TCubeMapForm(window)) {}

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
    panel_.Preview().ShowMessage(CoreText(MessageCode::RenderAborted));
}

void OutputCommands::Refused(const PlannedOutputs& planned, const QString& what) {
  // A size beyond the image limits is told as memory exhausted, the limit
  // in the details.
  if (!planned.outOfMemory.empty()) {
    dialogs_.Error(window_, CoreText(MessageCode::MemoryExhausted), Q(planned.outOfMemory));
    return;
  }
  dialogs_.Error(window_, what, Q(planned.error));
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
    Refused(planned, tr("画像ファイルを出力できません。"));
    return;
  }
  if (planned.plan->Renders()) RunPlan(*planned.plan);
}

void OutputCommands::CubeMap1Click() {
  if (session_.Context().Rendering) return;
  cubeMapForm_->SetDefaultFaceSize(OutputSizeOf(session_.Scene().Output.Resolution).width);
  if (dialogs_.RunModal(*cubeMapForm_) != QDialog::Accepted) return;
  const auto chosen =
      dialogs_.ChooseFolder(window_, tr("キューブマップを出力するフォルダー"), cubeMapFolder_);
  if (!chosen) return;
  cubeMapFolder_ = *chosen;
  OutputRequest request;
  request.cubemap = chosen->toStdString();
  cubeMapForm_->FillRequest(request);
  const PlannedOutputs planned = PlanOutputs(request, session_);
  if (!planned.plan) {
    Refused(planned, tr("キューブマップを出力できません。"));
    return;
  }
  QStringList taken;
  for (const std::string& path : planned.plan->ExistingFaces())
    taken << Q(path.substr(path.find_last_of('/') + 1));
  if (!taken.isEmpty() &&
      !dialogs_.Ask(
          window_,
          tr("このフォルダーのキューブマップ（%1）を置き換えますか？").arg(taken.join(", "))))
    return;
  RunPlan(*planned.plan);
}

}  // namespace horizonmill::ui
