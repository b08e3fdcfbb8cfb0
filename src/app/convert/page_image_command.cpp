#include "app/convert/page_image_command.h"
#include "app/saving/save_commands.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

#include "app/convert/page_images.h"
#include "app/mainframe/main_frame.h"
#include "core/errors/except3.h"
#include "core/filex/filex_info.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_path.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "view/commands/command_ids.h"

namespace {

QString q(const char* cp932) { return QtText_fromCp932(cp932); }

QLineEdit* numberEdit(const QString& text, int maxLength, int top, QWidget* parent) {
  auto* e = new QLineEdit(text, parent);
  e->setMaxLength(maxLength);
  e->setValidator(new QIntValidator(1, top, e));
  e->setMaximumWidth(60);
  return e;
}

int32_t number(const QLineEdit* e, int32_t fallback) {
  bool ok = false;
  const int v = e->text().toInt(&ok);
  return ok ? v : fallback;
}

// The image type chosen last in this program (0: none yet, the setting's).
int32_t& lastImageType() {
  static int32_t type = 0;
  return type;
}

// The folder the images went to last (until the program ends).
std::string& lastImageFolder() {
  static std::string folder;
  return folder;
}


// The destination before the save dialog: the note's name with the
// format's extension, or "imageNN" on the desktop for an untitled note.
std::string proposedDestination(const CMainFrame& frame, const std::string& ext) {
  if (!frame.notePath().empty()) {
    std::string dst = frame.notePath();
    StrX_changeExtension(dst, ext, dst.size() + ext.size() + 2);
    return dst;
  }
  const std::string desktop = NoteSave_desktopFolder(frame);
  for (int n = 1;; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "image%02d.%s", n, ext.c_str());
    const std::string path = StrX_joinPath(desktop, name);
    if (!FileX_exists(path) || n >= 9999) return path;
  }
}

PromptAnswer ask(CMainFrame& frame, const std::string& text, const char* title,
                 PromptButtons buttons, PromptAnswer def) {
  return UserPrompts_get().messageBox(text, title, buttons, PromptIcon::Question, def,
                                      WindowIds_idOf(&frame));
}

}  // namespace

COutPageDlg::COutPageDlg(int32_t lastPage, bool png, QWidget* parent) : QDialog(parent) {
  setWindowTitle(q("ページ全体を画像で出力"));
  auto* layout = new QVBoxLayout(this);

  auto* rangeBox = new QGroupBox(q("出力範囲"), this);
  auto* rangeLayout = new QGridLayout(rangeBox);
  all = new QRadioButton(q("すべて(&A)"), rangeBox);
  current = new QRadioButton(q("現在のページ(&H)"), rangeBox);
  fromTo = new QRadioButton(q("ページ指定"), rangeBox);
  fromEdit = numberEdit("1", 5, 99999, rangeBox);
  toEdit = numberEdit(QString::number(std::max(lastPage, 1)), 5, 99999, rangeBox);
  all->setChecked(true);
  rangeLayout->addWidget(all, 0, 0, 1, 5);
  rangeLayout->addWidget(current, 1, 0, 1, 5);
  rangeLayout->addWidget(fromTo, 2, 0);
  rangeLayout->addWidget(fromEdit, 2, 1);
  auto* fromLabel = new QLabel(q("ページから(&F)"), rangeBox);
  fromLabel->setBuddy(fromEdit);
  rangeLayout->addWidget(fromLabel, 2, 2);
  rangeLayout->addWidget(toEdit, 2, 3);
  auto* toLabel = new QLabel(q("ページまで(&T)"), rangeBox);
  toLabel->setBuddy(toEdit);
  rangeLayout->addWidget(toLabel, 2, 4);
  rangeLayout->setColumnStretch(5, 1);
  layout->addWidget(rangeBox);
  // Working in a page number chooses the page range.
  for (QLineEdit* e : {fromEdit, toEdit}) {
    connect(e, &QLineEdit::textEdited, this, [this] { fromTo->setChecked(true); });
  }

  auto* typeBox = new QGroupBox(q("画像の形式"), this);
  auto* typeLayout = new QVBoxLayout(typeBox);
  pngRadio = new QRadioButton(q("PNG形式（文字図形用）(&G)"), typeBox);
  jpegRadio = new QRadioButton(q("JPEG形式（写真用）(&J)"), typeBox);
  (png ? pngRadio : jpegRadio)->setChecked(true);
  typeLayout->addWidget(pngRadio);
  typeLayout->addWidget(jpegRadio);
  layout->addWidget(typeBox);

  auto* tileBox = new QGroupBox(q("タイル分割"), this);
  auto* tileLayout = new QGridLayout(tileBox);
  limitSize = new QCheckBox(q("最大サイズ(&S):"), tileBox);
  widthEdit = numberEdit("240", 4, 9999, tileBox);
  heightEdit = numberEdit("260", 4, 9999, tileBox);
  tileLayout->addWidget(limitSize, 0, 0);
  tileLayout->addWidget(widthEdit, 0, 1);
  tileLayout->addWidget(new QLabel(q("×"), tileBox), 0, 2);
  tileLayout->addWidget(heightEdit, 0, 3);
  minZoom = new QCheckBox(q("最小拡大率(&Z):"), tileBox);
  zoomEdit = numberEdit("60", 3, 999, tileBox);
  tileLayout->addWidget(minZoom, 1, 0);
  tileLayout->addWidget(zoomEdit, 1, 1);
  tileLayout->addWidget(new QLabel(q("％"), tileBox), 1, 2);
  vertical = new QCheckBox(q("分割画像は縦順に並べる(&V)"), tileBox);
  tileLayout->addWidget(vertical, 2, 0, 1, 4);
  folds = new QCheckBox(q("折りたたみ最大(&D)"), tileBox);
  foldSpin = new QSpinBox(tileBox);
  foldSpin->setRange(2, 8);
  foldSpin->setValue(4);
  tileLayout->addWidget(folds, 3, 0);
  tileLayout->addWidget(foldSpin, 3, 1);
  tileLayout->addWidget(new QLabel(q("回"), tileBox), 3, 2);
  tileLayout->setColumnStretch(4, 1);
  layout->addWidget(tileBox);

  html = new QCheckBox(q("HTML ファイルを出力する （クリッカブルマップ対応）"), this);
  layout->addWidget(html);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  for (QCheckBox* c : {limitSize, minZoom, folds}) {
    connect(c, &QCheckBox::toggled, this, [this] { update(); });
  }
  for (QRadioButton* r : {all, current, fromTo}) {
    connect(r, &QRadioButton::toggled, this, [this] { update(); });
  }
  for (QLineEdit* e : {fromEdit, toEdit, widthEdit, heightEdit, zoomEdit}) {
    connect(e, &QLineEdit::textChanged, this, [this] { update(); });
  }
  update();
}

void COutPageDlg::update() {
  widthEdit->setEnabled(limitSize->isChecked());
  heightEdit->setEnabled(limitSize->isChecked());
  zoomEdit->setEnabled(minZoom->isChecked());
  foldSpin->setEnabled(folds->isChecked());
  bool valid = true;
  for (QLineEdit* e : {widthEdit, heightEdit, zoomEdit}) {
    if (e->isEnabled() && !e->hasAcceptableInput()) valid = false;
  }
  if (fromTo->isChecked() && !(fromEdit->hasAcceptableInput() && toEdit->hasAcceptableInput())) {
    valid = false;
  }
  ok->setEnabled(valid);
}

OutPageValues COutPageDlg::values() const {
  OutPageValues v;
  v.range = all->isChecked() ? 0 : current->isChecked() ? 1 : 2;
  v.from = number(fromEdit, 1);
  v.to = number(toEdit, 1);
  v.png = pngRadio->isChecked();
  v.limitSize = limitSize->isChecked();
  v.maxWidth = number(widthEdit, 240);
  v.maxHeight = number(heightEdit, 260);
  v.useMinZoom = minZoom->isChecked();
  v.minZoom = number(zoomEdit, 60);
  v.vertical = vertical->isChecked();
  v.useFolds = folds->isChecked();
  v.folds = foldSpin->value();
  v.html = html->isChecked();
  return v;
}

int PageImageCommand_run(CMainFrame& frame, const std::function<bool(OutPageValues&)>& dialog) {
  if (!frame.hasNote()) return 0;
  NoteDocument& doc = frame.document();
  UserPrompts& prompts = UserPrompts_get();
  const bool ja = frame.options().japanese;
  const uint32_t owner = WindowIds_idOf(&frame);
  const int32_t last = doc.lastPageNumber();
  OutPageValues v;
  v.to = last;
  v.png = (lastImageType() != 0 ? lastImageType() : frame.options().defaultImageType) == 1;
  if (dialog) {
    if (!dialog(v)) return 0;
  } else if (prompts.interactive()) {
    COutPageDlg dlg(last, v.png, &frame);
    if (dlg.exec() != QDialog::Accepted) return 0;
    v = dlg.values();
  }
  PageImagesRequest r;
  r.png = v.png;
  View_defaultImageOptions(r.options);
  r.options.limitSize = v.limitSize;
  r.options.maxWidth = v.maxWidth;
  r.options.maxHeight = v.maxHeight;
  r.options.useMinZoom = v.useMinZoom;
  r.options.minZoom = v.minZoom;
  r.options.maxFolds = v.useFolds ? std::clamp(v.folds, 2, 8) : 1;
  r.vertical = v.vertical;
  r.html = v.html;
  r.currentOnly = v.range == 1;
  r.hasRange = true;
  r.first = v.range == 0 ? 1 : v.range == 1 ? doc.currentPageNumber() : v.from;
  r.last = v.range == 0 ? last : v.range == 1 ? doc.currentPageNumber() : v.to;

  int written = 0;
  bool openFolder = false;
  std::string folderChosen;
  Except_tryCatch(
      [&] {
        const std::vector<bool> selected = PageImages_selectPages(doc, r);
        if (std::count(selected.begin(), selected.end(), true) == 0) {
          prompts.messageBox(" のページがありません", "", PromptButtons::Ok, PromptIcon::Warning,
                             PromptAnswer::Ok, owner);
          return;
        }
        // Sizes no layout can cover are said before a file is asked for.
        PageImages_files(doc, selected, r, "");
        const std::string dst = proposedDestination(frame, r.png ? "png" : "jpg");
        bool agreed = false;
        for (;;) {
          // 5. The save dialog, in the last image folder or on the desktop.
          const std::string start =
              lastImageFolder().empty() ? NoteSave_desktopFolder(frame) : lastImageFolder();
          std::string path = StrX_joinPath(start, StrX_fileName(dst));
          int kind = r.png ? 0 : 1;
          if (!prompts.saveFileName("",
                                    ja ? "PNG形式 (*.png)|*.png|JPEG形式 (*.jpg)|*.jpg;*.jpeg||"
                                       : "PNG format (*.png)|*.png|JPEG format (*.jpg)|*.jpg;*.jpeg||",
                                    path, kind, owner)) {
            return;
          }
          // 7. The kind chosen decides the format.
          r.png = kind != 1;
          StrX_changeExtension(path, r.png ? "png" : "jpg", path.size() + 8);
          // 6. One file, or a folder of them.
          std::string folder = path;
          StrX_changeExtension(folder, "", folder.size() + 1);
          std::string out = path;
          openFolder = false;
          if (PageImages_severalFiles(doc, r)) {
            if (r.html) {
              folder += ".files";
            } else {
              const std::string name = StrX_fileName(folder);
              const std::string text =
                  FileX_isFolder(folder)
                      ? "既に存在するフォルダ[" + name + "]の中に" +
                            "画像ファイルをまとめますか？\r\n「いいえ」を選ぶと、" +
                            "フォルダの外に" + "画像ファイルを作成します。"
                      : "新しいフォルダ[" + name + "]を作成して、その中に" +
                            "画像ファイルをまとめますか？\r\n「いいえ」を選ぶと、" +
                            "フォルダを作成しないで" + "画像ファイルを作成します。";
              const PromptAnswer a = ask(frame, text, "作成位置の確認",
                                         PromptButtons::YesNoCancel, PromptAnswer::Yes);
              if (a == PromptAnswer::Cancel) {
                if (!prompts.interactive()) return;
                continue;
              }
              openFolder = a == PromptAnswer::Yes;
              if (!openFolder) folder = StrX_parentFolder(path);
            }
            out = StrX_joinPath(folder, StrX_fileName(path));
          } else if (r.html) {
            out = StrX_joinPath(folder + ".files", StrX_fileName(path));
          }
          lastImageFolder() = StrX_parentFolder(path);
          lastImageType() = r.png ? 1 : 2;
          if (frame.options().imageTypeChanged) frame.options().imageTypeChanged(lastImageType());
          // 8. Files of the same names are overwritten only when agreed.
          const std::vector<PageImageFile> files = PageImages_files(doc, selected, r, out);
          if (!agreed) {
            const auto existing = std::find_if(files.begin(), files.end(), [](const auto& f) {
              return FileX_exists(f.path);
            });
            if (existing != files.end()) {
              const std::string text =
                  existing->path + (last == 1 ? " は既に存在します。\r\n上書きしますか？"
                                              : " などは既に存在します。\r\nすべて上書きしますか？");
              if (ask(frame, text, "", PromptButtons::YesNo, PromptAnswer::No) !=
                  PromptAnswer::Yes) {
                if (!prompts.interactive()) return;
                continue;
              }
              agreed = true;
            }
          }
          QApplication::setOverrideCursor(Qt::WaitCursor);
          // The view does not paint while its pages are rendered.
          frame.view().m_Printing = true;
          Except_tryFinally(
              [&] {
                PageImages_write(doc, selected, r, out, PageImages_indexPath(path),
                                 [&frame, ja](int32_t k, int32_t n) {
                                   char title[64];
                                   std::snprintf(title, sizeof title,
                                                 ja ? "画像出力中 (%d/%d) ..."
                                                    : "Exporting images (%d/%d) ...",
                                                 k, n);
                                   frame.setWindowTitle(QtText_fromCp932(title));
                                 });
              },
              [&] {
                frame.view().m_Printing = false;
                frame.view().Invalidate();
                QApplication::restoreOverrideCursor();
                frame.RefreshWindowTitle();
              });
          written = static_cast<int>(files.size());
          folderChosen = folder;
          return;
        }
      },
      [&](const Errors_Msg& e) {
        prompts.messageBox(e.message(), "", PromptButtons::Ok, PromptIcon::Warning,
                           PromptAnswer::Ok, owner);
      });
  frame.RefreshWindowTitle();
  // 10. The folder chosen with Yes opens (only for a person at the screen).
  if (written > 0 && openFolder && !r.html && prompts.interactive()) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QtText_fromCp932(folderChosen)));
  }
  return written;
}

void PageImageCommand_register(CommandTable& table, CMainFrame& frame) {
  const bool ja = frame.options().japanese;
  table.add(Cmd_PageImages,
            ja ? "ページ全体を画像ファイルに出力(&I).." : "Export Pages as &Image Files..",
            ja ? "ファイル(&F)" : "&File", {}, [&frame] { PageImageCommand_run(frame); });
}
