// OutputCommands: the output file's browse button, the output command (Go)
// and the file menu's cube-map export. Each plans its files (app/OutputPlan.h)
// before the render, so a name that cannot be written is said first, then
// renders and writes them (app/RenderAndWrite.h) with the window as host.
#pragma once

#include <QObject>
#include <QString>

#include "app/OutputPlan.h"
#include "app/RenderAndWrite.h"
#include "app/Session.h"
#include "ui/WindowParts.h"

namespace horizonmill::ui {

class TCubeMapForm;

class OutputCommands : public QObject {
  Q_OBJECT

 public:
  explicit OutputCommands(const WindowParts& parts);

  void ReferOutPutClick();
  void GoClick();
  // The layout, convention, format and face size (TCubeMapForm), a folder,
  // then the full render and the cube map into the folder.
  void CubeMap1Click();

 private:
  // Renders what the plan says on the render panel's worker, then, once the
  // render has ended, writes it (EndPlan).
  void RunPlan(const OutputPlan& plan);
  void EndPlan(WriteRun& run, bool drawn);
  // The plan's refusal: `what` could not be made, the refusal in the details;
  // a size beyond the image limits told as memory exhausted.
  void Refused(const PlannedOutputs& planned, const QString& what);

  WindowParts parts_;
  TCubeMapForm* cubeMapForm_;
  QString cubeMapFolder_;  // the folder of the last cube-map export
};

}  // namespace horizonmill::ui
