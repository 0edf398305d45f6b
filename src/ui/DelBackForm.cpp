#include "ui/DelBackForm.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "image/BmpReader.h"
#include "platform/ApplicationSettings.h"
#include "ui/DialogParts.h"
#include "ui/PreviewArea.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

TDelBackForm::TDelBackForm(UserDialogs& dialogs, std::filesystem::path iniPath, QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      iniPath_(std::move(iniPath)),
      sampleBitmap_(kCatalogWidth, kCatalogHeight) {
  setObjectName("DelBackForm");
  setWindowTitle("QORA-Lシリーズに登録した背景の削除");
  sample_ = new PreviewArea(sampleBitmap_);
  sample_->setObjectName("Sample");
  sample_->unsetCursor();
  BlackSample();
  backAliasNames_ = new QListWidget;
  backAliasNames_->setObjectName("BackAliasNames");
  backAliasNames_->setMinimumSize(220, 160);
  delBackBtn_ = Button("DelBackBtn", "削除");
  delBackBtn_->setEnabled(false);
  closeBtn_ = Button("CloseBtn", "閉じる");
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
  const ApplicationSettings settings = ReadApplicationSettings(iniPath_);
  folders_ = HostFolders{settings.QoraLTarget, "", ""};
  records_.clear();
  DialogRegistrationHost host(dialogs_, this);
  try {
    // The folders as the host INI names them now.
    folders_ = ReadHostFolders(settings.QoraLTarget);
    records_ = ReadRegisteredBackgrounds(folders_, host);
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
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
    dialogs_.Error(this, Q(e.what()));
  }
  delBackBtn_->setEnabled(true);
}

void TDelBackForm::DelBackBtnClick() {
  const int row = SelectedRow(*backAliasNames_);
  if (row < 0 || row >= static_cast<int>(records_.size())) return;
  DialogRegistrationHost host(dialogs_, this);
  RemovalResult result = RemovalResult::Cancelled;
  try {
    result = DeleteRegisteredBackground(folders_, records_, static_cast<std::size_t>(row), host);
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
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
