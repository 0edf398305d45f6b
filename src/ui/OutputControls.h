// OutputControls: the window's output group — the resolution (ResX, ResY),
// the output file's name with its browse button, the output command (Go) and
// the registration with the host system (RegistToQoraL). The old output
// format's switches (isOldFormat, DietMode) are there for the settings file
// only and stay hidden. Each control is bound to its field of the scene; the
// commands behind the buttons are run by the window's commands, when the
// group asks for them.
#pragma once

#include "app/Session.h"
#include "ui/ControlGroup.h"

class QCheckBox;
class QPushButton;

namespace horizonmill::ui {

class BoundInput;

class OutputControls : public ControlGroup {
  Q_OBJECT

 public:
  // `session` outlives the group.
  explicit OutputControls(Session& session, QWidget* parent = nullptr);

  // Every control shows the output as the scene holds it.
  void ShowScene();
  // The enabling after a refresh (RedrawAll); the resolution the old output
  // format holds.
  void ShowStates(const ControlStates& states);
  // The name chosen in the output dialog, as if typed.
  void SetOutputName(const QString& name);

 signals:
  void referOutPutClicked();
  void goClicked();
  void registToQoraLClicked();
  // The user left ResX or ResY: the window checks the size.
  void resolutionLeft();

 private:
  void FormatToggled();

  Session& session_;
  BoundInput *resX_, *resY_, *outPutFilen_;
  QCheckBox *isOldFormat_, *dietMode_;
  QPushButton *go_, *registToQoraL_;
};

}  // namespace horizonmill::ui
