#include "ui/DelBackForm.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "image/BmpReader.h"
#include "platform/FileError.h"
#include "ui/DialogParts.h"
#include "ui/PreviewArea.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

TDelBackForm::TDelBackForm(const ProgramSettings& settings, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      dialogs_(dialogs),
      sampleBitmap_(kCatalogWidth, kCatalogHeight) {
  setObjectName("DelBackForm");
  setWindowTitle(tr("QORA-Lシリーズに登録した背景の削除"));
  sample_ = new PreviewArea(sampleBitmap_);
  sample_->setObjectName("Sample");
  sample_->unsetCursor();
  BlackSample();
  backAliasNames_ = new QListWidget;
  backAliasNames_->setObjectName("BackAliasNames");
  backAliasNames_->setMinimumSize(220, 160);
  delBackBtn_ = Button("DelBackBtn", tr("削除"));
  delBackBtn_->setEnabled(false);
  closeBtn_ = Button("CloseBtn", tr("閉じる"));
  closeBtn_->setDefault(true);

  auto* right = new QVBoxLayout;
  right->addWidget(sample_);
  right->addWidget(delBackBtn_);
  right->addStretch();
  right->addWidget(closeBtn_);
  auto* box = new QHBoxLayout(this);
  box->addWidget(backAliasNames_, 1);
  box->addLayout(right);

  connect(backAliasNames_, &QListWidget::itemSelectionChanged, this,
          &TDelBackForm::BackAliasNamesClick);
  connect(delBackBtn_, &QPushButton::clicked, this, &TDelBackForm::DelBackBtnClick);
  connect(closeBtn_, &QPushButton::clicked, this, &QDialog::accept);
}

void TDelBackForm::Fill() {
  records_.clear();
  DialogAppHost host(dialogs_, this);
  try {
    const auto folders = RemovalHost(settings_, host);
    folders_ = folders.value_or(HostFolders{});
    if (folders) records_ = ListRegistered(folders_, host);
  } catch (const FileError& e) {
    dialogs_.Error(this, tr("登録した背景の一覧を読み込めませんでした。"), Q(e.what()));
  }
  ShowList();
}

void TDelBackForm::ShowList() {
  const QSignalBlocker block(backAliasNames_);
  backAliasNames_->clear();
  for (const RegisteredBackground& r : records_) backAliasNames_->addItem(Q(r.Alias));
  BlackSample();
  delBackBtn_->setEnabled(false);
}

void TDelBackForm::BlackSample() {
  if (!sampleBitmap_.Empty()) FillWorkBitmap(sampleBitmap_, BgrPixel{0, 0, 0});
  sample_->ShowBitmap();
}

void TDelBackForm::BackAliasNamesClick() {
  const int row = SelectedRow(*backAliasNames_);
  if (row < 0 || row >= static_cast<int>(records_.size())) {
    BlackSample();
    delBackBtn_->setEnabled(false);
    return;
  }
  try {
    const WorkBitmap catalog = ReadBmpFile(CatalogPicturePath(folders_, records_[row]).string());
    StretchDraw(catalog, sampleBitmap_);
    sample_->ShowBitmap();
  } catch (const FileError& e) {
    BlackSample();
    dialogs_.Error(this, tr("カタログ画像を読み込めませんでした。"), Q(e.what()));
  }
  delBackBtn_->setEnabled(true);
}

void TDelBackForm::DelBackBtnClick() {
  const int row = SelectedRow(*backAliasNames_);
  if (row < 0 || row >= static_cast<int>(records_.size())) return;
  DialogAppHost host(dialogs_, this);
  RemovalResult result = RemovalResult::Cancelled;
  try {
    result = RemoveRegistered(folders_, records_, static_cast<std::size_t>(row), host);
  } catch (const FileError& e) {
    dialogs_.Error(this, tr("背景を削除できませんでした。"), Q(e.what()));
    return;
  }
  if (result == RemovalResult::Removed) ShowList();
  if (result == RemovalResult::NotInstalled) emit HostNotInstalled();
}

void TDelBackForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Not the list: a list taking the focus makes its first line current, and
  // the dialog opens with none selected.
  closeBtn_->setFocus();
}

void TDelBackForm::done(int result) {
  records_.clear();
  {
    const QSignalBlocker block(backAliasNames_);
    backAliasNames_->clear();
  }
  QDialog::done(result);
}

}  // namespace horizonmill::ui
