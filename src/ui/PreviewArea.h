// A paint area that shows a work bitmap as it is, a line of text at (4, 4) over
// it (a stage message, a missing texture, the abort), or the cleared area. Text
// and clearing last until the bitmap is shown again. The window's preview
// (PreviewBitmap, a left click is the preview command) and the editors'
// previews are such areas.
#pragma once

#include <QImage>
#include <QWidget>

#include "image/WorkBitmap.h"

class QPainter;

namespace horizonmill::ui {

class PreviewArea : public QWidget {
  Q_OBJECT

 public:
  // Shows `bitmap`, which outlives the area and keeps its size.
  PreviewArea(WorkBitmap& bitmap, QWidget* parent = nullptr);

  // ShowPreview: the bitmap as it is now, without text or clearing.
  void ShowBitmap();
  // Fills the area with the window's background; the text goes too.
  void Clear();
  // A line of text at (4, 4) over what is shown.
  void ShowMessage(const QString& text);

  const QString& Message() const { return message_; }
  bool Cleared() const { return cleared_; }

  // The bitmap's pixels as an image sharing its memory.
  static QImage Wrap(WorkBitmap& bitmap);
  // How every text on the preview is drawn: black on white at (4, 4).
  static void DrawMessage(QPainter& painter, const QString& text);

 signals:
  // The left button was released over the area.
  void clicked();
  // A mouse button was released over the area, at `position` (a release
  // outside the area, after pressing inside, is no click).
  void released(Qt::MouseButton button, QPoint position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Paints at once: a render lets events run only now and then.
  void RepaintNow();

  WorkBitmap& bitmap_;
  QString message_;
  bool cleared_ = false;
};

}  // namespace horizonmill::ui
