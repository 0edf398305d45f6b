// The window's commands that open the editors, and the registration with the
// host system and its removal dialog.
#include <QDir>
#include <QPushButton>
#include <system_error>

#include "platform/ApplicationSettings.h"
#include "platform/FileError.h"
#include "platform/Paths.h"
#include "ui/DelBackForm.h"
#include "ui/Grad1Form.h"
#include "ui/Grad2Form.h"
#include "ui/Main.h"
#include "ui/ObjForm.h"
#include "ui/PreviewArea.h"
#include "ui/RegistName.h"
#include "ui/TenjoTraForm.h"

namespace horizonmill::ui {

// ---------------------------------------------------------------- editors

void THorizonmill_MainForm::SetGrad1Click() {
  if (session_.Context().Rendering) return;
  grad1Form_->Edit(session_.Scene().Sky);
  if (dialogs_.RunModal(*grad1Form_) == QDialog::Accepted)
    session_.Scene().Sky = grad1Form_->Gradation();
}

void THorizonmill_MainForm::SetGrad2Click() {
  if (session_.Context().Rendering) return;
  // The sun is edited over the scene's sky as it stands now.
  grad2Form_->Edit(session_.Scene().Sun, session_.Scene().Sky);
  if (dialogs_.RunModal(*grad2Form_) == QDialog::Accepted) session_.Scene().Sun = grad2Form_->Sun();
}

void THorizonmill_MainForm::EditObjectGroup(int group) {
  if (session_.Context().Rendering) return;
  // The editor changes the group in place; the dialog is modal, so no render
  // runs meanwhile.
  objForm_->Edit(static_cast<TObjectForm::GroupIndex>(group));
  dialogs_.RunModal(*objForm_);
  RedrawAll();
}

void THorizonmill_MainForm::ChTenjoTraClick() {
  CeilingSettings& ceiling = session_.Scene().Ceiling;
  if (!ceiling.Texture) {
    dialogs_.Beep();
    return;
  }
  if (session_.Context().Rendering) return;
  tenjoTraForm_->Edit(ceiling.OpaqueColor, *ceiling.Texture);
  if (dialogs_.RunModal(*tenjoTraForm_) == QDialog::Accepted)
    ceiling.OpaqueColor = tenjoTraForm_->Candidate();
}

// ---------------------------------------------------------------- registration

std::optional<std::string> THorizonmill_MainForm::HostIniForRegistration() {
  const std::string remembered = ReadApplicationSettings(iniPath_).QoraLTarget;
  if (!remembered.empty() && FileExists(remembered)) return remembered;
  if (qoraLIniOpenDlg_.fileName.isEmpty()) {
    // The remembered host's folder when it is still there, else the home folder.
    const std::filesystem::path folder = std::filesystem::path(remembered).parent_path();
    std::error_code ec;
    qoraLIniOpenDlg_.setup.directory = !folder.empty() && std::filesystem::is_directory(folder, ec)
                                           ? QString::fromStdString(folder.string())
                                           : QDir::homePath();
  }
  const auto chosen = RunFileDialog(qoraLIniOpenDlg_);
  if (!chosen) {
    hostTarget_.clear();
    return std::nullopt;
  }
  return chosen->toStdString();
}

void THorizonmill_MainForm::RegistToQoraLClick() {
  if (session_.Context().Rendering) return;
  const auto hostIni = HostIniForRegistration();
  if (!hostIni) return;
  DialogRegistrationHost host(dialogs_, this);
  const auto installation = FindHost(*hostIni, host);
  if (!installation) {
    // The user has heard why. The command is off for this run, and the next
    // run asks for the host's INI file again instead of failing on this one.
    registToQoraL_->setEnabled(false);
    hostTarget_.clear();
    try {
      ForgetHostTarget(iniPath_);
    } catch (const FileError& e) {
      dialogs_.Error(this, Q(e.what()));
    }
    return;
  }
  hostTarget_ = *hostIni;

  registName_->SetSaveDir(installation->Folders.BGDir);
  if (dialogs_.RunModal(*registName_) != QDialog::Accepted) return;
  const BackgroundNames names = registName_->Names();
  // Names the host cannot take, or a background of that name: told, nothing written.
  if (!CheckRegistration(*installation, names, host)) return;
  if (!RenderFullSize()) return;
  try {
    if (!RegisterBackground(*installation, names, session_.OutputBitmap(), session_.JpegQuality(),
                            host))
      return;
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
    return;
  }
  try {
    WriteHostTargetSetting(iniPath_, *hostIni);
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
  }
  removalAvailable_ = true;
  ApplyRenderLock();
}

void THorizonmill_MainForm::QoraL_DeleteClick() {
  if (session_.Context().Rendering) return;
  delBackForm_->Fill();
  dialogs_.RunModal(*delBackForm_);
}

}  // namespace horizonmill::ui
