#include "ui/DialogParts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/PreviewArea.h"

namespace horizonmill::ui {

QPushButton* Button(const char* name, const QString& caption, const QString& hint) {
  auto* b = new QPushButton(caption);
  b->setObjectName(name);
  if (!hint.isEmpty()) b->setToolTip(hint);
  b->setAutoDefault(false);
  return b;
}

PreviewArea* EditorPreview(WorkBitmap& bitmap, const char* name, const QString& hint) {
  auto* area = new PreviewArea(bitmap);
  area->setObjectName(name);
  area->setToolTip(hint);
  area->setCursor(Qt::CrossCursor);
  return area;
}

QVBoxLayout* PreviewWithHint(PreviewArea* area, const QString& hint) {
  auto* column = new QVBoxLayout;
  column->setSpacing(4);
  column->addWidget(area);
  auto* text = new QLabel(hint);
  text->setEnabled(false);
  text->setWordWrap(true);
  text->setMaximumWidth(area->width());
  column->addWidget(text);
  column->addStretch();
  return column;
}

QHBoxLayout* OkCancel(QDialog* dialog, const char* okName, const QString& okCaption,
                      const char* cancelName, const QString& cancelCaption) {
  auto* ok = Button(okName, okCaption);
  ok->setDefault(true);
  auto* cancel = Button(cancelName, cancelCaption);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

QSlider* TrackBar(const char* name, int minimum, int maximum, const QString& hint) {
  auto* s = new QSlider(Qt::Horizontal);
  s->setObjectName(name);
  s->setRange(minimum, maximum);
  s->setTickInterval(10);
  s->setTickPosition(QSlider::TicksBelow);
  s->setPageStep(10);
  s->setToolTip(hint);
  return s;
}

}  // namespace horizonmill::ui
