// GroundControls: the ground's group of the window under its switch
// (ZimenNeeded): the scale, the warp of the reflection, the reflection, and
// the texture's name with its browse button. Each control is bound to its
// field of the scene; the commands behind the texture's name and the button
// are run by the window's commands, when the group asks for them.
#pragma once

#include "app/Session.h"
#include "ui/ControlGroup.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace horizonmill::ui {

class BoundInput;

class GroundControls : public ControlGroup {
  Q_OBJECT

 public:
  // `session` outlives the group.
  explicit GroundControls(Session& session, QWidget* parent = nullptr);

  // Every control shows the ground as the scene holds it.
  void ShowScene();
  // The enabling after a refresh (RedrawAll).
  void ShowStates(const ControlStates& states);

 signals:
  void groundTextureNameEntered();
  void groundTextureReferClicked();

 private:
  // The reflection's track bar: the warp is there only for a reflection.
  void ZimenRefValueChange(int position);

  Session& session_;
  QCheckBox* zimenNeeded_;
  QLabel *groundScaleLabel_, *groundWarpLabel_, *zimenRefLabel1_, *zimenRefLabel2_,
      *groundTextureLabel_;
  BoundInput *groundScale_, *groundWarp_, *groundTextureName_;
  QSlider* zimenRefValue_;
  QPushButton* groundTextureRefer_;
};

}  // namespace horizonmill::ui
