// ControlGroup: what every group of the main window's controls tells the
// window about the scene's fields it is bound to (SceneControls,
// CeilingControls, GroundControls, OutputControls).
#pragma once

#include <QFrame>

namespace horizonmill::ui {

class ControlGroup : public QFrame {
  Q_OBJECT

 public:
  using QFrame::QFrame;

 signals:
  // A field of the scene changed.
  void edited();
  // A switch was toggled or a value entered: the window refreshes (RedrawAll).
  void redrawRequested();
  // An edit is complete: a text committed (Enter, or moving on to another
  // control), a switch or a radio button clicked, a slider let go. The edit
  // history makes a step of what changed.
  void committed();
};

}  // namespace horizonmill::ui
