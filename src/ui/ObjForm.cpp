#include "ui/ObjForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "app/AppHost.h"
#include "image/BmpReader.h"
#include "image/Placeholders.h"
#include "platform/FileError.h"
#include "render/EditorPreviews.h"
#include "scene/SettingsFile.h"
#include "scene/TrackBarValues.h"
#include "ui/CoreTexts.h"
#include "ui/DialogParts.h"
#include "ui/EditHistory.h"
#include "ui/PreviewArea.h"
#include "ui/TextInput.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {
TObjectForm::TObjectForm(Session& session, UserDialogs& dialogs, FileDialog& openDialog,
                         EditHistory& history, QWidget* parent)
    : QDialog(parent),
      session_(session),
      dialogs_(dialogs),
      openDialog_(openDialog),
      history_(history),
      preview_(kEditorPreviewWidth, kEditorPreviewHeight) {
  setObjectName("ObjectForm");
  setWindowTitle(tr("オブジェクトの設定"));
  if (!preview_.Empty()) FillWorkBitmap(preview_, BgrPixel{0, 0, 0});

  const QString hint = tr("左クリックで透過色の選択、右クリックでキャンセル");
  objPreview_ = EditorPreview(preview_, "ObjPreview", hint);
  objectList_ = new QListWidget;
  objectList_->setObjectName("ObjectList");
  objectList_->setToolTip(tr("設定済みのオブジェクトです"));
  objectList_->setStyleSheet(
      "QListWidget { background: black; color: lime; }"
      "QListWidget::item:selected { background: lime; color: black; }");
  objectList_->setMinimumWidth(200);
  addObject_ =
      Button("AddObject", tr("追加..."), tr("オブジェクトを追加します（bmp、png、jpeg の画像）"));
  deleteObject_ = Button("DeleteObject", tr("削除"),
                         tr("オブジェクトを削除します。アンドゥはないので注意してください"));
  jimenAtt_ = CheckBox("JimenAtt", tr("地面に張り付く"), tr("一般に雲以外はチェックしてください"));
  ismanual_ = CheckBox("ismanual", tr("手動配置"), tr("オブジェクトを手で配置します"));
  ismanual_->setEnabled(false);  // manual placement is not offered
  isShading_ = CheckBox("isShading", tr("シェーディング"),
                        tr("グラデーション２を光源とみなして怪しいシェイディング処理を行います"));
  mixture_ =
      MakeMixtureButtons(this, {"ObjModeAdd", "ObjModeNorm", "ObjModeSub"},
                         {tr("明るくなる合成です"), tr("通常の合成です"), tr("暗くなる合成です")},
                         [this](std::uint8_t mode) {
                           if (ObjectEntry* entry = CurrentEntry()) entry->MixtureMode = mode;
                           CommitEntry();
                         });
  opacityLabel1_ = new QLabel(tr("不透明"));
  opacity_ = TrackBar("Opacity", 0, 100, tr("オブジェクトの透明度です"));
  opacityLabel2_ = new QLabel(tr("透明"));
  numofobjLabel_ = new QLabel(tr("個数"));
  numofobj_ = new TextInput("numofobj", 5);
  numofobj_->setToolTip(tr("乱数で配置する個数です"));
  scaleLabel_ = new QLabel(tr("大きさ"));
  scale_ = new TextInput("Scale", 5);
  scale_->setToolTip(
      tr("オブジェクトの大きさです。本システムではオブジェクトの解像度によらず一定のスケーリングを"
         "施します"));
  for (TextInput* input : {numofobj_, scale_})
    input->setFixedWidth(input->fontMetrics().horizontalAdvance('0') * 7 + 14);
  // Not the default button: Enter in an input only stores its value.
  auto* close = Button("Close", tr("閉じる"), tr("このダイアログを閉じます"));
  upDatePreview_ = new QTimer(this);
  upDatePreview_->setObjectName("UpDatePreview");
  upDatePreview_->setInterval(250);

  auto* listColumn = new QVBoxLayout;
  listColumn->addWidget(objectList_, 1);
  auto* listButtons = new QHBoxLayout;
  listButtons->addWidget(addObject_);
  listButtons->addWidget(deleteObject_);
  listColumn->addLayout(listButtons);
  auto* top = new QHBoxLayout;
  top->addLayout(listColumn, 1);
  top->addSpacing(8);
  top->addLayout(PreviewWithHint(objPreview_, hint));

  auto* settings = new QGridLayout;
  auto* checks = new QHBoxLayout;
  checks->addWidget(jimenAtt_);
  checks->addWidget(ismanual_);
  checks->addWidget(isShading_);
  checks->addStretch();
  settings->addLayout(checks, 0, 0, 1, 3);
  settings->addLayout(mixture_.row, 1, 0, 1, 3);
  settings->addWidget(opacityLabel1_, 2, 0);
  settings->addWidget(opacity_, 2, 1);
  settings->addWidget(opacityLabel2_, 2, 2);
  auto* numbers = new QHBoxLayout;
  numbers->addWidget(numofobjLabel_);
  numbers->addWidget(numofobj_);
  numbers->addSpacing(16);
  numbers->addWidget(scaleLabel_);
  numbers->addWidget(scale_);
  numbers->addStretch();
  numbers->addWidget(close);
  settings->addLayout(numbers, 3, 0, 1, 3);
  settings->setColumnStretch(1, 1);

  auto* box = new QVBoxLayout(this);
  box->addLayout(top);
  box->addLayout(settings);
  box->setSizeConstraint(QLayout::SetFixedSize);

  connect(objectList_, &QListWidget::itemSelectionChanged, this, &TObjectForm::Select);
  connect(addObject_, &QPushButton::clicked, this, &TObjectForm::AddObjectClick);
  connect(deleteObject_, &QPushButton::clicked, this, &TObjectForm::DeleteObjectClick);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(upDatePreview_, &QTimer::timeout, this, &TObjectForm::UpDatePreviewTimer);
  connect(objPreview_, &PreviewArea::released, this, &TObjectForm::ObjPreviewMouseUp);
  connect(jimenAtt_, &QCheckBox::clicked, this, [this](bool on) {
    if (ObjectEntry* entry = CurrentEntry())
      entry->PositionMode = on ? PositionMode::Ground : PositionMode::Sky;
    CommitEntry();
  });
  connect(isShading_, &QCheckBox::clicked, this, [this](bool on) {
    if (ObjectEntry* entry = CurrentEntry()) entry->Shadeing = on;
    CommitEntry();
  });
  connect(opacity_, &QSlider::valueChanged, this, [this](int position) {
    if (ObjectEntry* entry = CurrentEntry()) entry->Transparency = TransparencyOfPosition(position);
    if (!opacity_->isSliderDown()) CommitEntry();  // a drag is done when let go
  });
  connect(opacity_, &QSlider::sliderReleased, this, &TObjectForm::CommitEntry);
  auto numberOfObjects = [this] {
    if (ObjectEntry* entry = CurrentEntry())
      entry->NumberOfObjects = ToInteger(numofobj_->text().toStdString());
    CommitEntry();
  };
  auto scale = [this] {
    if (ObjectEntry* entry = CurrentEntry()) entry->Scale = ToReal(scale_->text().toStdString());
    CommitEntry();
  };
  connect(numofobj_, &QLineEdit::returnPressed, this, numberOfObjects);
  connect(numofobj_, &TextInput::exited, this, numberOfObjects);
  connect(scale_, &QLineEdit::returnPressed, this, scale);
  connect(scale_, &TextInput::exited, this, scale);

  Select();
}

ObjectGroup& TObjectForm::Group() const {
  SceneSettings& scene = session_.Scene();
  return group_ == Near ? scene.Near : group_ == Mid ? scene.Mid : scene.Far;
}

void TObjectForm::Edit(GroupIndex group) {
  group_ = group;
  setWindowTitle(group == Near  ? tr("近景オブジェクトの設定")
                 : group == Mid ? tr("中景オブジェクトの設定")
                                : tr("遠景オブジェクトの設定"));
  Forget();
  const std::string& stored = session_.Settings().Values().ObjectDir;
  if (!stored.empty()) openDialog_.setup.directory = QString::fromStdString(stored);
}

void TObjectForm::Forget() {
  const QSignalBlocker block(objectList_);
  FillList();
  Select();
}

void TObjectForm::FillList() {
  objectList_->clear();
  for (const ObjectEntry& e : Group()) {
    const auto cut = e.Filename.find_last_of("/\\");
    objectList_->addItem(
        QString::fromStdString(cut == std::string::npos ? e.Filename : e.Filename.substr(cut + 1)));
  }
}

ObjectEntry* TObjectForm::CurrentEntry() const {
  ObjectEntry* entry = row_ >= 0 ? Group().First() : nullptr;
  for (int i = 0; i < row_ && entry; ++i) entry = entry->Next();
  return entry;
}

void TObjectForm::Select() {
  row_ = SelectedRow(*objectList_);
  ObjectEntry* const current = CurrentEntry();
  SetSettingsEnabled(current != nullptr);
  if (!current) {
    if (!preview_.Empty()) FillWorkBitmap(preview_, BgrPixel{0, 0, 0});
    objPreview_->Clear();
    return;
  }
  // Showing an entry never changes it: 0.375 shows as 38 and stays 0.375.
  // (The check boxes and radio buttons write only on the user's clicks.)
  const QSignalBlocker block(opacity_);
  ismanual_->setChecked(current->Manual);
  jimenAtt_->setChecked(current->PositionMode == PositionMode::Ground);
  isShading_->setChecked(current->Shadeing);
  mixture_.Show(current->MixtureMode);
  opacity_->setValue(PositionOfTransparency(current->Transparency));
  numofobj_->ShowText(QString::number(current->NumberOfObjects));
  scale_->ShowText(QString::fromStdString(FormatReal(current->Scale)));
  RedrawPreview();
}

void TObjectForm::SetSettingsEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{
           deleteObject_, objPreview_, jimenAtt_, isShading_, mixture_.add, mixture_.norm,
           mixture_.sub, opacity_, opacityLabel1_, opacityLabel2_, numofobj_, numofobjLabel_,
           scale_, scaleLabel_})
    w->setEnabled(enabled);
}

void TObjectForm::AddObjectClick() {
  const auto chosen = RunFileDialog(dialogs_, this, openDialog_);
  if (!chosen) return;
  ObjectEntry* added = nullptr;
  try {
    added = session_.AddObjectPicture(Group(), CurrentEntry(), chosen->toStdString());
  } catch (const FileError& e) {
    dialogs_.Error(this, tr("画像を読み込めませんでした。"), Q(e.what()));
    return;
  }
  if (!added) return NoMemory();
  history_.Commit();
  {
    const QSignalBlocker block(objectList_);
    FillList();
    objectList_->setCurrentRow(objectList_->count() - 1);
  }
  StoreObjectDir();
  Select();
}

void TObjectForm::NoMemory() {
  dialogs_.Beep();
  dialogs_.Message(this, CoreText(MessageCode::PictureNoMemory));
}

void TObjectForm::DeleteObjectClick() {
  ObjectEntry* const current = CurrentEntry();
  if (!current) return;
  upDatePreview_->stop();
  const int p = SelectedRow(*objectList_);
  Group().Remove(current);
  row_ = -1;
  history_.Commit();
  {
    const QSignalBlocker block(objectList_);
    FillList();
    if (objectList_->count() > 0) objectList_->setCurrentRow(std::min(p, objectList_->count() - 1));
  }
  Select();
  if (isVisible()) upDatePreview_->start();
}

void TObjectForm::UpDatePreviewTimer() {
  blink_ = !blink_;
  RedrawPreview();
}

void TObjectForm::RedrawPreview() {
  const ObjectEntry* const current = CurrentEntry();
  if (!current) return;  // the cleared, disabled area stays
  if (preview_.Empty()) return;
  if (const SharedPicture picture = session_.ObjectPicture(*current))
    DrawKeyColourPreview(preview_, *picture, current->OpaqueColor, blink_);
  else  // a picture the scene names but that cannot be had
    FillWorkBitmap(preview_, BgrPixel{0, 0, 0});
  objPreview_->ShowBitmap();
}

void TObjectForm::ObjPreviewMouseUp(Qt::MouseButton button, QPoint at) {
  ObjectEntry* const current = CurrentEntry();
  if (!current) return;
  const SharedPicture shown = session_.ObjectPicture(*current);
  if (!shown) return;
  const PixelImage& picture = *shown;
  if (button == Qt::LeftButton)
    current->OpaqueColor = KeyColourAt(picture, at.x(), at.y(), preview_.Width(), preview_.Height(),
                                       current->OpaqueColor);
  else if (button == Qt::RightButton)
    current->OpaqueColor = FindUnusedColour(picture);
  else
    return;
  CommitEntry();
  RedrawPreview();
}

void TObjectForm::CommitEntry() { history_.Commit(); }

void TObjectForm::StoreObjectDir() {
  const std::string folder = openDialog_.Folder();
  if (folder.empty()) return;
  openDialog_.setup.directory = QString::fromStdString(folder);
  ProgramSettings& settings = session_.Settings();
  settings.SetFolder(DialogFolder::Object, folder);
  try {
    settings.Save();
  } catch (const FileError& e) {
    dialogs_.Error(this, CoreText(MessageCode::SettingsNotSaved), Q(e.what()));
  }
}

void TObjectForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Not the list: a list taking the focus makes its first line current, and
  // the dialog opens with none selected.
  addObject_->setFocus();
  upDatePreview_->start();
}

void TObjectForm::hideEvent(QHideEvent* event) {
  upDatePreview_->stop();
  QDialog::hideEvent(event);
}

void TObjectForm::done(int result) {
  StoreObjectDir();
  QDialog::done(result);
}

}  // namespace horizonmill::ui
