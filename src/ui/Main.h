// THorizonmill_MainForm: the program's window. Its controls show the current
// scene of a Session and write every edit straight into it; its commands call
// the Session; it is the render's host (stage messages on the preview, the
// progress gauge, the abort command, events let through while a render runs).
//
// Main.cpp builds the window and binds the controls; MainCommands.cpp holds the
// commands, the render host and the program INI; MainDialogs.cpp the commands
// that open the editors and the registration dialogs.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/OutputPlan.h"
#include "app/Session.h"
#include "render/RenderContext.h"
#include "ui/UserDialogs.h"

class QAction;
class QPushButton;
class QTimer;

namespace horizonmill::ui {

class LookAroundView;
class OutputControls;
class PreviewArea;
class ProgressPie;
class SceneControls;
class TDelBackForm;
class TGrad1Form;
class TGrad2Form;
class TJPEGQualityForm;
class TObjectForm;
class TRegistName;
class TTenjoTraForm;

class THorizonmill_MainForm : public QMainWindow, private RenderHost {
  Q_OBJECT

 public:
  // `dialogs` outlives the window; `iniPath` is the program INI, read now.
  THorizonmill_MainForm(UserDialogs& dialogs, std::filesystem::path iniPath,
                        QWidget* parent = nullptr);
  ~THorizonmill_MainForm() override;

  // Start-up (FormShow): the program INI's folders and host, the default
  // scene, then the settings file `argument` names when it exists; the title.
  void Start(const std::string& argument);

  Session& session() { return session_; }
  // The title, with Qt's "[*]" where a changed scene is marked.
  static QString TitleFor(const std::string& settingsFilename);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  class ReaderHost;
  // The sequences' questions in the window: an aborted render is told on the
  // preview, then kept only when the user says so, and never while the window
  // is closing.
  class SequenceHost : public DialogAppHost {
   public:
    explicit SequenceHost(THorizonmill_MainForm& window);
    bool KeepAbortedRender() override;

   private:
    THorizonmill_MainForm& w_;
  };

  // ---- Main.cpp: building and binding
  void BuildMenu();
  // The controls' requests to the window's commands.
  void ConnectControls();
  // Every control shows the scene as it stands (after New, Open, a browse).
  void ShowScene();
  // While a render runs every command that changes the scene or starts a
  // render is disabled; the abort command and closing stay.
  void ApplyRenderLock();
  void SetTitle();
  // The title's mark of unsaved changes follows the scene.
  void SceneEdited();
  // Before the scene is set aside (New, Open, closing): when it has unsaved
  // changes, asks 保存 / 破棄 / キャンセル. True when it may go: saved,
  // discarded, or unchanged.
  bool MaySetSceneAside();
  // Save1Click's work; false when the file could not be written (the user has
  // seen why).
  bool SaveScene();
  // The default scene, as New and the start-up make it.
  void NewScene();

  // ---- MainCommands.cpp: commands
  void New1Click();
  void Open1Click();
  void Save1Click();
  void SaveAs1Click();
  void Exit1Click() { close(); }
  void JPEG1Click();
  void AuthorClick();
  void GroundTextureNameEnter();
  void TenjoTextureNameEnter();
  void GroundTextureReferClick();
  void TEnjoTextureReferClick();
  void ReferOutPutClick();
  void GoClick();
  // The file menu's cube-map export: a folder, then the full render, then the
  // six faces into the folder.
  void CubeMap1Click();
  // Opens (or brings forward) the look-around window on the last render.
  void LookAround1Click();
  // What the look-around window shows: the bitmap the last render drew into.
  void ShowInLookAround(const WorkBitmap* panorama);
  // Renders and writes what the plan says (the output command, the cube map).
  void RunPlan(const OutputPlan& plan);
  // After a full render that found no memory: the beep and the message, the
  // reason under its details.
  void TellOutOfMemory(const std::string& reason);
  void PreviewClick();
  void RendAbortClick();
  void PeepTimer();
  void OpenSettings(const std::string& path);
  // Loads a texture whose file exists and shows it in the preview with its caption.
  void LoadTexture(TextureLayer layer, const std::string& path, bool browsed);
  void ShowTextureCaption(PictureKind kind);
  void AfterRender();
  std::optional<QString> RunFileDialog(FileDialog& dialog, const QString& presetName = {});
  void ReadProgramIni();
  // False when the INI could not be written (the user has seen why).
  bool WriteProgramIni();

  // ---- MainDialogs.cpp: the editors and the registration
  void SetGrad1Click();
  void SetGrad2Click();
  void EditObjectGroup(int group);  // Near 0, Mid 1, Far 2
  void ChTenjoTraClick();
  void RegistToQoraLClick();
  void QoraL_DeleteClick();
  // The host INI of the registration: the remembered one when it exists, else
  // the one the user picks; nothing when the user cancels.
  std::optional<std::string> HostIniForRegistration();
  // The program INI's remembered folders and host as the run holds them.
  ProgramSettings& Settings() { return session_.Settings(); }

  // RenderHost
  void StageMessage(RenderStage stage, std::string_view text) override;
  void ShowPreview(const WorkBitmap& preview) override;
  void ProcessEvents(RenderContext& context) override;
  void SetAbortCommandVisible(bool visible) override;
  void HideProgress() override;
  void ClearPreviewArea() override;
  void Beep() override;
  void MessageBox(std::string_view text) override;
  // RedrawAll: the refresh of the controls' enabling (Session::Refresh).
  void RedrawAll() override;

  Session session_;
  UserDialogs& dialogs_;
  // The removal command: enabled at start-up when a host is remembered and
  // after a registration; off for the run once the host's list was missing.
  bool removalAvailable_ = false;
  QElapsedTimer lastEvents_;  // when the render last let events run
  // The bitmap the last render drew into, while it still holds that render
  // (PreviewBitmap also shows pictures being loaded); none before the first.
  const WorkBitmap* lastPanorama_ = nullptr;
  QString cubeMapFolder_;  // the folder of the last cube-map export
  bool closeAfterRender_ = false;

  FileDialog outPutOpen_, tenjoTextureOpen_, zimenTextureOpen_, openSettingDlg_, saveSettingDlg_,
      objectOpenDialog_, qoraLIniOpenDlg_;

  SceneControls* sceneControls_;
  OutputControls* outputControls_;
  PreviewArea* preview_;
  ProgressPie* progressDisp_;
  QPushButton* rendAbort_;
  QTimer* peep_;
  TGrad1Form* grad1Form_;
  TGrad2Form* grad2Form_;
  TObjectForm* objForm_;
  TTenjoTraForm* tenjoTraForm_;
  TRegistName* registName_;
  TJPEGQualityForm* jpegQualityForm_;
  TDelBackForm* delBackForm_;
  LookAroundView* lookAround_ = nullptr;  // made when first opened

  QAction *new1_, *open1_, *save1_, *saveAs1_, *cubeMap1_, *jpeg1_, *qoraLDelete_;
};

}  // namespace horizonmill::ui
