// The look-around window: the last render (the full image or the preview) seen
// as a perspective view from the panorama's centre. Dragging turns the view
// (the picture follows the mouse), the wheel changes the field of view, the
// arrow keys turn it by steps, + and - zoom, Home looks back at the horizon
// in the middle of the panorama. The horizon stays level; the panorama's left
// and right edges meet without a seam. Drawn by the core (RenderLookAround);
// the window only translates the mouse and keys into angles.
//
// While a render draws into the panorama, the render's threads write it
// beside the window: the view reads it only when told that nothing writes it
// any more (PanoramaChanged), and shows that frame until the next one.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "image/WorkBitmap.h"
#include "render/LookAround.h"

namespace horizonmill::ui {

// Where a window of `wanted` size opens over `parent` (a frame on the screen):
// no larger than nine tenths of the screen's `available` area, centred on the
// parent, and wholly inside the available area.
QRect LookAroundPlacement(QSize wanted, QRect parent, QRect available);

class LookAroundView : public QWidget {
  Q_OBJECT

 public:
  // `rendering` says whether a render is drawing into the panorama now.
  explicit LookAroundView(std::function<bool()> rendering, QWidget* parent = nullptr);

  // What to show: a panorama that outlives the window or until the next call,
  // and what it is (the final image or the preview, in the window's
  // language); none shows how to get one.
  void SetPanorama(const WorkBitmap* panorama, const QString& source);
  const WorkBitmap* Panorama() const { return panorama_; }
  // The panorama's pixels changed: after a render, or between two of its
  // stages, when nothing writes them. During a render the frame is drawn now.
  void PanoramaChanged();

  const LookAroundAngles& Angles() const { return angles_; }
  void SetAngles(const LookAroundAngles& angles);
  // The picture drawn last, the size of the view.
  const WorkBitmap& Frame() const { return frame_; }
  // The line written over the bottom of the view while a panorama is shown:
  // what it is, its size, the angles.
  QString Caption() const;

  QSize sizeHint() const override { return {800, 600}; }

 protected:
  // The first showing places the window over its parent, inside the screen.
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Draws the frame from the panorama at the view's size.
  void DrawFrame();
  // Turns the view as dragging by (dx, dy) pixels does.
  void Drag(QPointF delta);
  // Narrows (steps > 0) or widens the field of view, a tenth per step.
  void Zoom(double steps);

  std::function<bool()> rendering_;
  const WorkBitmap* panorama_ = nullptr;
  bool stale_ = true;  // the frame does not show the panorama and angles as they are
  QString source_;
  LookAroundAngles angles_;
  WorkBitmap frame_;
  QPointF lastMouse_;
  bool dragging_ = false;
  bool placed_ = false;
  int threads_;
};

}  // namespace horizonmill::ui
