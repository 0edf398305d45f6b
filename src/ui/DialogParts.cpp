#include "ui/DialogParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "image/Colour.h"
#include "ui/PreviewArea.h"

namespace horizonmill::ui {

QPushButton* Button(const char* name, const QString& caption, const QString& hint) {
  auto* b = new QPushButton(caption);
  b->setObjectName(name);
  if (!hint.isEmpty()) b->setToolTip(hint);
  b->setAutoDefault(false);
  return b;
}

QLabel* Label(const char* name, const QString& caption) {
  auto* l = new QLabel(caption);
  l->setObjectName(name);
  return l;
}

QCheckBox* CheckBox(const char* name, const QString& caption, const QString& hint) {
  auto* c = new QCheckBox(caption);
  c->setObjectName(name);
  if (!hint.isEmpty()) c->setToolTip(hint);
  return c;
}

void MakeGroup(QFrame* frame, QWidget* header, QLayout* body) {
  frame->setFrameShape(QFrame::StyledPanel);
  auto* box = new QVBoxLayout(frame);
  box->setContentsMargins(8, 6, 8, 8);
  box->setSpacing(6);
  QFont bold = header->font();
  bold.setBold(true);
  header->setFont(bold);
  box->addWidget(header);
  box->addLayout(body);
}

QFrame* Group(QWidget* header, QLayout* body) {
  auto* frame = new QFrame;
  MakeGroup(frame, header, body);
  return frame;
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

int SelectedRow(const QListWidget& list) {
  const QList<QListWidgetItem*> selected = list.selectedItems();
  return selected.isEmpty() ? -1 : list.row(selected.front());
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

void MixtureButtons::Show(std::uint8_t mode) const {
  if (mode == MixtureMode::Add) add->setChecked(true);
  if (mode == MixtureMode::Norm) norm->setChecked(true);
  if (mode == MixtureMode::Sub) sub->setChecked(true);
}

MixtureButtons MakeMixtureButtons(QWidget* owner, const std::array<const char*, 3>& names,
                                  const std::array<QString, 3>& hints,
                                  const std::function<void(std::uint8_t)>& clicked) {
  const char* captions[] = {QT_TRANSLATE_NOOP("DialogParts", "加法混色"),
                            QT_TRANSLATE_NOOP("DialogParts", "中間混色"),
                            QT_TRANSLATE_NOOP("DialogParts", "減法混色")};
  const std::uint8_t modes[] = {MixtureMode::Add, MixtureMode::Norm, MixtureMode::Sub};
  MixtureButtons made{};
  QRadioButton** buttons[] = {&made.add, &made.norm, &made.sub};
  made.row = new QHBoxLayout;
  auto* group = new QButtonGroup(owner);
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(QCoreApplication::translate("DialogParts", captions[i]));
    b->setObjectName(names[i]);
    b->setToolTip(hints[i]);
    group->addButton(b);
    made.row->addWidget(b);
    *buttons[i] = b;
    QObject::connect(b, &QRadioButton::clicked, owner,
                     [clicked, mode = modes[i]] { clicked(mode); });
  }
  made.row->addStretch();
  return made;
}

}  // namespace horizonmill::ui
