// OutputCommands: the output file's browse button, the output command (Go)
// and the file menu's cube-map export. Each plans its files (app/OutputPlan.h)
// before the render, so a name that cannot be written is said first, then
// renders and writes them (app/RenderAndWrite.h) with the window as host.
#pragma once

#include <QObject>
#include <QString>

#include "app/OutputPlan.h"
#include "app/Session.h"

class QWidget;

namespace horizonmill::ui {

class OutputControls;
class ProgramIni;
class RenderPanel;
class SessionView;
class TCubeMapForm;
class UserDialogs;

class OutputCommands : public QObject {
  Q_OBJECT

 public:
  // All of them outlive the commands; `window` is the dialogs' parent.
  OutputCommands(Session& session, UserDialogs& dialogs, QWidget* window, SessionView& view,
                 ProgramIni& programIni, RenderPanel& panel, OutputControls& controls);

  void ReferOutPutClick();
  void GoClick();
  // The layout, convention, format and face size (TCubeMapForm), a folder,
  // then the full render and the cube map into the folder.
  void CubeMap1Click();

 private:
  // Renders and writes what the plan says.
  void RunPlan(const OutputPlan& plan);
  // The plan's refusal: `what` could not be made, the refusal in the details;
  // a size beyond the image limits told as memory exhausted.
  void Refused(const PlannedOutputs& planned, const QString& what);

  Session& session_;
  UserDialogs& dialogs_;
  QWidget* window_;
  SessionView& view_;
  ProgramIni& programIni_;
  RenderPanel& panel_;
  OutputControls& controls_;
  TCubeMapForm* cubeMapForm_;
  QString cubeMapFolder_;  // the folder of the last cube-map export
};

}  // namespace horizonmill::ui
