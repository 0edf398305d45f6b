#include "ui/LookAroundView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <thread>
#include <utility>

#include "ui/PreviewArea.h"

namespace horizonmill::ui {
namespace {

// The arrow keys turn by this many degrees.
constexpr double kKeyStep = 5;

}  // namespace

LookAroundView::LookAroundView(std::function<bool()> rendering, QWidget* parent)
    : QWidget(parent, Qt::Window),
      rendering_(std::move(rendering)),
      threads_(static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u))) {
  setObjectName("LookAroundView");
  setWindowTitle(tr("パノラマを見回す"));
  setToolTip(
      tr("ドラッグで向きを変え、ホイールで画角を変えます。矢印キーでも回り、Home "
         "キーでパノラマの中央の水平線に戻ります"));
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(160, 120);
  resize(sizeHint());
}

QRect LookAroundPlacement(QSize wanted, QRect parent, QRect available) {
  const QSize size = wanted.boundedTo(available.size() * 9 / 10);
  QRect placed(QPoint(), size);
  placed.moveCenter(parent.center());
  // Inside the available area: the right and bottom edges first, so that the
  // top-left corner (the title bar) wins when both cannot be kept.
  placed.moveRight(std::min(placed.right(), available.right()));
  placed.moveBottom(std::min(placed.bottom(), available.bottom()));
  placed.moveLeft(std::max(placed.left(), available.left()));
  placed.moveTop(std::max(placed.top(), available.top()));
  return placed;
}

void LookAroundView::showEvent(QShowEvent* event) {
  if (!placed_ && parentWidget() != nullptr) {
    placed_ = true;
    const QWidget* parent = parentWidget()->window();
    if (const QScreen* screen = parent->screen())
      setGeometry(
          LookAroundPlacement(size(), parent->frameGeometry(), screen->availableGeometry()));
  }
  QWidget::showEvent(event);
}

void LookAroundView::SetPanorama(const WorkBitmap* panorama, const QString& source) {
  panorama_ = panorama;
  source_ = source;
  stale_ = true;
  update();
}

void LookAroundView::PanoramaChanged() {
  stale_ = true;
  if (rendering_() && isVisible()) DrawFrame();
  update();
}

void LookAroundView::SetAngles(const LookAroundAngles& angles) {
  angles_ = Settled(angles);
  stale_ = true;
  update();
}

void LookAroundView::DrawFrame() {
  if (panorama_ == nullptr || panorama_->Empty()) return;
  if ((frame_.Width() != width() || frame_.Height() != height()) &&
      !frame_.Resize(width(), height()))
    return;
  RenderLookAround(*panorama_, angles_, frame_, threads_);
  stale_ = false;
}

QString LookAroundView::Caption() const {
  return tr("%1 %2 × %3    方位 %4°  仰角 %5°  画角 %6°")
      .arg(source_)
      .arg(panorama_->Width())
      .arg(panorama_->Height())
      .arg(angles_.Heading, 0, 'f', 1)
      .arg(angles_.Elevation, 0, 'f', 1)
      .arg(angles_.FieldOfView, 0, 'f', 0);
}

void LookAroundView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (panorama_ == nullptr || panorama_->Empty()) {
    painter.fillRect(rect(), QColor(32, 32, 32));
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     tr("プレビューをクリックするか完成画像を作画すると、ここで見回せます。"));
    return;
  }
  const bool sized = frame_.Width() == width() && frame_.Height() == height();
  if ((stale_ || !sized) && !rendering_()) DrawFrame();
  if (frame_.Empty())
    painter.fillRect(rect(), Qt::black);
  else  // during a render, the last frame, stretched if the window has changed size
    painter.drawImage(rect(), PreviewArea::Wrap(frame_));
  // The angles on a dark strip at the bottom, readable over any sky.
  const QString caption = Caption();
  const QFontMetrics metrics(font());
  const QRect strip(0, height() - metrics.height() - 8, metrics.horizontalAdvance(caption) + 16,
                    metrics.height() + 8);
  painter.fillRect(strip, QColor(0, 0, 0, 140));
  painter.setPen(Qt::white);
  painter.drawText(strip, Qt::AlignCenter, caption);
}

void LookAroundView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  lastMouse_ = event->position();
  setCursor(Qt::ClosedHandCursor);
}

void LookAroundView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  Drag(event->position() - lastMouse_);
  lastMouse_ = event->position();
}

void LookAroundView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = false;
  unsetCursor();
}

void LookAroundView::Drag(QPointF delta) {
  // The picture follows the mouse: dragging right brings what lies to the left
  // into view, dragging down what lies above.
  const double step = DegreesPerPixel(angles_, height());
  SetAngles({angles_.Heading - delta.x() * step, angles_.Elevation + delta.y() * step,
             angles_.FieldOfView});
}

void LookAroundView::Zoom(double steps) {
  SetAngles({angles_.Heading, angles_.Elevation, angles_.FieldOfView * std::pow(0.9, steps)});
}

void LookAroundView::wheelEvent(QWheelEvent* event) {
  // One notch is 120; a touchpad sends less at a time.
  Zoom(event->angleDelta().y() / 120.0);
  event->accept();
}

void LookAroundView::keyPressEvent(QKeyEvent* event) {
  const LookAroundAngles a = angles_;
  switch (event->key()) {
    case Qt::Key_Left:
      SetAngles({a.Heading - kKeyStep, a.Elevation, a.FieldOfView});
      break;
    case Qt::Key_Right:
      SetAngles({a.Heading + kKeyStep, a.Elevation, a.FieldOfView});
      break;
    case Qt::Key_Up:
      SetAngles({a.Heading, a.Elevation + kKeyStep, a.FieldOfView});
      break;
    case Qt::Key_Down:
      SetAngles({a.Heading, a.Elevation - kKeyStep, a.FieldOfView});
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      Zoom(1);
      break;
    case Qt::Key_Minus:
      Zoom(-1);
      break;
    case Qt::Key_Home:
      SetAngles({LookAroundAngles{}.Heading, 0, a.FieldOfView});
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

}  // namespace horizonmill::ui
