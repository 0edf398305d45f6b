#include "ui/RegistrationCommands.h"

#include <QDir>
#include <filesystem>
#include <system_error>

#include "app/HostCommands.h"
#include "platform/FileError.h"
#include "render/Pipeline.h"
#include "ui/CoreTexts.h"
#include "ui/DelBackForm.h"
#include "ui/OutputControls.h"
#include "ui/PreviewArea.h"
#include "ui/ProgramIni.h"
#include "ui/RegistName.h"
#include "ui/RenderPanel.h"
#include "ui/SequenceHost.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

RegistrationCommands::RegistrationCommands(const WindowParts& parts)
    : QObject(parts.window), parts_(parts) {
  registName_ = new TRegistName(parts_.window);
  delBackForm_ = new TDelBackForm(parts_.session.Settings(), parts_.dialogs, parts_.window);
  connect(delBackForm_, &TDelBackForm::HostNotInstalled, this,
          [this] { SetRemovalAvailable(false); });
}

void RegistrationCommands::SetRemovalAvailable(bool available) {
  removalAvailable_ = available;
  parts_.view.ApplyRenderLock();
}

void RegistrationCommands::ReadProgramIni() {
  SetRemovalAvailable(!parts_.session.Settings().Values().QoraLTarget.empty());
}

std::optional<std::string> RegistrationCommands::HostIniForRegistration() {
  const ProgramSettings& settings = parts_.session.Settings();
  if (auto remembered = RememberedHostIni(settings)) return remembered;
  FileDialog& dialog = parts_.programIni.QoraLIniOpenDlg();
  if (dialog.fileName.isEmpty()) {
    // The remembered host's folder when it is still there, else the home folder.
    const std::filesystem::path folder =
        std::filesystem::path(settings.Values().QoraLTarget).parent_path();
    std::error_code ec;
    dialog.setup.directory = !folder.empty() && std::filesystem::is_directory(folder, ec)
                                 ? QString::fromStdString(folder.string())
                                 : QDir::homePath();
  }
  const auto chosen = parts_.programIni.RunFileDialog(dialog);
  if (!chosen) return std::nullopt;
  return chosen->toStdString();
}

void RegistrationCommands::RegistToQoraLClick() {
  if (parts_.session.Context().Rendering) return;
  const auto hostIni = HostIniForRegistration();
  if (!hostIni) return;
  SequenceHost host(parts_.dialogs, parts_.window, parts_.panel);
  const auto installation = OpenHost(parts_.session.Settings(), *hostIni, host);
  // The user has heard why; the next registration asks for the host INI again.
  if (!installation) return;
  registName_->SetSaveDir(installation->Folders.BGDir);
  if (parts_.dialogs.RunModal(*registName_) != QDialog::Accepted) return;
  parts_.panel.ShowInLookAround(&parts_.session.OutputBitmap());
  const std::shared_ptr<RegisterRun> run =
      BeginRenderAndRegister(parts_.session, *installation, registName_->Names(), host);
  if (run->ended) {
    EndRegistration(*run);
    return;
  }
  parts_.panel.StartRender(
      [run, &output = parts_.session.OutputTarget()](RenderContext& context, WorkBitmap& preview) {
        run->drawn = DrawPlannedRender(run->render, context, output, preview);
      },
      [this, run] { EndRegistration(*run); });
}

void RegistrationCommands::EndRegistration(RegisterRun& run) {
  SequenceHost host(parts_.dialogs, parts_.window, parts_.panel);
  RegisterResult result;
  try {
    result = EndRenderAndRegister(parts_.session, run, run.drawn, host);
  } catch (const FileError& e) {
    parts_.panel.AfterRender();
    parts_.dialogs.Error(parts_.window, tr("背景を登録できませんでした。"), Q(e.what()));
    return;
  }
  parts_.panel.AfterRender();
  if ((result.aborted || result.writeAborted) && !parts_.panel.Closing())
    parts_.panel.Preview().ShowMessage(CoreText(MessageCode::RenderAborted));
  switch (result.outcome) {
    case RegisterOutcome::Registered:
      SetRemovalAvailable(true);
      break;
    case RegisterOutcome::OutOfMemory:
      host.TellOutOfMemory(result.reason);
      break;
    case RegisterOutcome::Refused:
    case RegisterOutcome::NotWritten:
      break;
  }
}

void RegistrationCommands::QoraL_DeleteClick() {
  if (parts_.session.Context().Rendering) return;
  delBackForm_->Fill();
  parts_.dialogs.RunModal(*delBackForm_);
}

}  // namespace horizonmill::ui
