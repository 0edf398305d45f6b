// SceneControls: the window's column of the scene's controls — the sky's and
// the sun's editors, the random seed, the aerial perspective, the stars, the
// ceiling's and the ground's groups, the object groups' editors. Each control
// is bound to its field of the scene; the commands behind the buttons are run
// by the window's commands, when the column asks for them.
#pragma once

#include "app/Session.h"
#include "ui/ControlGroup.h"

namespace horizonmill::ui {

class BoundInput;
class CeilingControls;
class GroundControls;

class SceneControls : public ControlGroup {
  Q_OBJECT

 public:
  // `session` outlives the column.
  explicit SceneControls(Session& session, QWidget* parent = nullptr);

  CeilingControls* Ceiling() const { return ceiling_; }
  GroundControls* Ground() const { return ground_; }

  // Every control shows the scene as it stands (after New, Open, a browse).
  void ShowScene();
  // The enabling after a refresh (RedrawAll).
  void ShowStates(const ControlStates& states);

 signals:
  void setGrad1Clicked();
  void setGrad2Clicked();
  // One of the object groups' buttons: its group (TObjectForm::GroupIndex).
  void objectGroupClicked(int group);

 private:
  BoundInput *seed_, *airDepth_, *stars_, *starSize_;
  CeilingControls* ceiling_;
  GroundControls* ground_;
};

}  // namespace horizonmill::ui
