#include "app/convert/save_ex_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/errors/except3.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_path.h"
#include "platform/text/qt_text.h"
#include "view/dialogs/dialog_run.h"

std::function<int(CSaveExDlg&)> CSaveExDlg::exec;

namespace {
// Literals are CP932 (the build's execution character set).
QString u(const char* ja, const char* en, bool japanese) { return QtText_fromCp932(japanese ? ja : en); }
}  // namespace

CSaveExDlg::CSaveExDlg(QWidget* parent, const SaveExValues& values, bool japanese)
    : QDialog(parent), japanese_(japanese) {
  const bool j = japanese;
  setWindowTitle(u("ファイル出力", "Export", j));
  auto* top = new QVBoxLayout(this);

  auto* fileRow = new QHBoxLayout;
  auto* fileLabel = new QLabel(u("保存ファイル名(F):", "&File name:", j));
  file_ = new QLineEdit;
  fileLabel->setBuddy(file_);
  auto* browseButton = new QPushButton(u("参照(&B)", "&Browse", j));
  connect(browseButton, &QPushButton::clicked, this, [this] { browse(); });
  fileRow->addWidget(fileLabel);
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(browseButton);
  top->addLayout(fileRow);
  top->addWidget(new QLabel(u("\\ 文字を使ってフォルダパスを指定しなければ、デスクトップにできます。",
                              "Without a folder in the name, the file is made on the desktop.", j)));

  auto* typeRow = new QHBoxLayout;
  auto* typeLabel = new QLabel(u("出力タイプ(&T):", "Output &type:", j));
  type_ = new QComboBox;
  type_->addItem(u("VML-HTML(FTP)形式", "VML-HTML (FTP)", j));
  type_->addItem(u("VML-HTML(イントラネット)形式", "VML-HTML (Intranet)", j));
  type_->addItem(u("VML-MHTML形式", "VML-MHTML", j));
  typeLabel->setBuddy(type_);
  typeRow->addWidget(typeLabel);
  typeRow->addWidget(type_, 1);
  top->addLayout(typeRow);

  auto* rangeBox = new QGroupBox(u("出力範囲", "Range", j));
  auto* rangeGrid = new QGridLayout(rangeBox);
  auto* group = new QButtonGroup(rangeBox);
  range_[0] = new QRadioButton(u("すべて(&A)", "&All", j));
  range_[1] = new QRadioButton(u("現在のページ(&H)", "Current page (&H)", j));
  range_[2] = new QRadioButton(u("ページ指定(&N)", "Pages (&N)", j));
  pages_ = new QLineEdit;
  for (int i = 0; i < 3; ++i) {
    group->addButton(range_[i], i);
    rangeGrid->addWidget(range_[i], i, 0);
    connect(range_[i], &QRadioButton::toggled, this, [this] { updateEnabling(); });
  }
  rangeGrid->addWidget(pages_, 2, 1);
  rangeGrid->addWidget(new QLabel(u("例: 1, 4, 6-8", "e.g. 1, 4, 6-8", j)), 3, 1);
  top->addWidget(rangeBox);

  auto* pubRow = new QHBoxLayout;
  auto* pubLabel = new QLabel(u("pub指定（公開先指定）(&P):", "&Publication:", j));
  pub_ = new QLineEdit;
  pubLabel->setBuddy(pub_);
  pubRow->addWidget(pubLabel);
  pubRow->addWidget(pub_, 1);
  top->addLayout(pubRow);
  top->addWidget(new QLabel(u("_all で、pub 属性に関わらず、全て出力します。",
                              "_all writes everything, whatever the pub attributes say.", j)));

  checks_[0] = new QCheckBox(u("同じファイル内の ハイパーリンクは、_blank でも新しくウィンドウを作らない(&B)",
                               "Links within the same file never open a new window, even with _&blank", j));
  checks_[1] = new QCheckBox(u("別のファイルへの ハイパーリンクを、ハイパーリンクではなくする(&L)",
                               "&Links to other files become plain text", j));
  checks_[2] = new QCheckBox(u("出力したらブラウザで開く(&O)", "&Open in the browser when written", j));
  for (QCheckBox* c : checks_) top->addWidget(c);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  top->addWidget(buttons);

  setValues(values);
}

void CSaveExDlg::setValues(const SaveExValues& v) {
  file_->setText(QtText_fromCp932(v.fileName));
  type_->setCurrentIndex(v.outputType >= 0 && v.outputType < 3 ? v.outputType : 0);
  range_[v.range >= 0 && v.range < 3 ? v.range : 0]->setChecked(true);
  pages_->setText(QtText_fromCp932(v.pages));
  pub_->setText(QtText_fromCp932(v.publication));
  checks_[0]->setChecked(v.sameFileNoNewWindow);
  checks_[1]->setChecked(v.noLinksToOtherFiles);
  checks_[2]->setChecked(v.openInBrowser);
  updateEnabling();
}

SaveExValues CSaveExDlg::values() const {
  SaveExValues v;
  v.fileName = QtText_toCp932(file_->text());
  v.outputType = type_->currentIndex();
  v.range = range_[2]->isChecked() ? 2 : range_[1]->isChecked() ? 1 : 0;
  v.pages = QtText_toCp932(pages_->text());
  v.publication = QtText_toCp932(pub_->text());
  v.sameFileNoNewWindow = checks_[0]->isChecked();
  v.noLinksToOtherFiles = checks_[1]->isChecked();
  v.openInBrowser = checks_[2]->isChecked();
  return v;
}

// The page list is typed only when pages are chosen.
void CSaveExDlg::updateEnabling() { pages_->setEnabled(range_[2]->isChecked()); }

void CSaveExDlg::browse() {
  std::string path = QtText_toCp932(file_->text());
  int kind = 0;
  const std::string filter = type_->currentIndex() == 2
                                 ? (japanese_ ? "MHTML形式 (*.mht)|*.mht||" : "MHTML format (*.mht)|*.mht||")
                                 : (japanese_ ? "HTML形式 (*.html)|*.html;*.htm||"
                                              : "HTML format (*.html)|*.html;*.htm||");
  const std::string title = QtText_toCp932(windowTitle());
  if (UserPrompts_get().saveFileName(title, filter, path, kind, 0))
    file_->setText(QtText_fromCp932(path));
}

bool CSaveExDlg_ask(QWidget* parent, SaveExValues& values, bool japanese) {
  CSaveExDlg dialog(parent, values, japanese);
  if (Dialog_run(dialog) != QDialog::Accepted) return false;
  values = dialog.values();
  return true;
}

std::string CSaveExDlg_absoluteName(const std::string& fileName, const std::string& desktopFolder) {
  std::string path;
  Except_tryCatch([&] { StrX_makeAbsolute(path, fileName, desktopFolder); },
                  [&](const Errors_Msg&) { path = StrX_joinPath(desktopFolder, fileName); });
  return path;
}
