#include "app/convert/office_script_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>
#include <string>

#include "app/links/shell_services.h"
#include "app/mainframe/main_frame.h"
#include "app/convert/save_ex_dialog.h"
#include "app/saving/frame_save_host.h"
#include "app/saving/save_commands.h"
#include "core/errors/except3.h"
#include "core/filex/filex_info.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_vars.h"
#include "export/office/office_script.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"

std::function<int(CExcelOption&)> CExcelOption::exec;

namespace {

constexpr const char* kFilter = "Windows Script File (*.wsf)|*.wsf||";

QString u(const char* ja, const char* en, bool japanese) { return QtText_fromCp932(japanese ? ja : en); }

// The Excel version chosen last in this session (0: the settings' one).
int32_t& lastVersion() {
  static int32_t v = 0;
  return v;
}

// The window's save host with the installation's script folder.
class FrameOfficeHost final : public OfficeScriptHost {
 public:
  explicit FrameOfficeHost(CMainFrame& frame) : base_(frame) {}
  const TextMetrics* metrics() const override { return base_.metrics(); }
  StrX_VarLookup variables() const override { return base_.variables(); }
  bool lowerPath() const override { return base_.lowerPath(); }
  bool japanese() const override { return base_.japanese(); }
  std::string notePath() const override { return base_.notePath(); }
  std::string scriptFolder() const override {
    std::string path = "%script%";
    StrX_expandVariables(path, 1024, base_.variables());
    return path == "%script%" ? "" : path;
  }

 private:
  FrameSaveHost base_;
};

// The proposed script: the note's name with "wsf" on the desktop, or
// "VBA.wsf" for an untitled note.
std::string defaultPath(const CMainFrame& frame) {
  std::string name = frame.notePath().empty() ? std::string("VBA.wsf") : StrX_fileName(frame.notePath());
  if (!frame.notePath().empty()) StrX_changeExtension(name, "wsf", name.size() + 8);
  return StrX_joinPath(NoteSave_desktopFolder(frame), name);
}

// A name without an extension gets "wsf".
std::string withExtension(std::string path) {
  if (StrX_extension(path).empty()) path += ".wsf";
  return path;
}

// The user's choice of a script file; "" when cancelled.
bool askFileName(const CMainFrame& frame, std::string& path) {
  int kind = 0;
  const bool ja = frame.options().japanese;
  if (!UserPrompts_get().saveFileName(ja ? "名前を付けて保存" : "Save As", kFilter, path, kind,
                                      WindowIds_idOf(const_cast<CMainFrame*>(&frame))))
    return false;
  path = withExtension(path);
  return true;
}

// "Yes" to overwrite an existing file the user chose (or a new file).
bool mayWrite(const CMainFrame& frame, const std::string& path) {
  if (!FileX_exists(path)) return true;
  char text[1200];
  std::snprintf(text, sizeof text, "%s は既に存在します。\r\n上書きしますか？", path.c_str());
  return UserPrompts_get().messageBox(text, "Brevlo", PromptButtons::YesNo, PromptIcon::Question,
                                      PromptAnswer::No,
                                      WindowIds_idOf(const_cast<CMainFrame*>(&frame))) == PromptAnswer::Yes;
}

std::string workPath(CMainFrame& frame) {
  char name[32];
  std::snprintf(name, sizeof name, "conv_%08X.wsf", WindowIds_idOf(&frame));
  return StrX_joinPath(frame.options().workFolder, name);
}

}  // namespace

CExcelOption::CExcelOption(QWidget* parent, const ExcelOptionValues& values, std::string desktopFolder,
                           bool japanese)
    : QDialog(parent), desktop_(std::move(desktopFolder)), japanese_(japanese) {
  const bool j = japanese;
  setWindowTitle(u("Excel に変換", "Convert to Excel", j));
  auto* top = new QVBoxLayout(this);
  auto* versionRow = new QHBoxLayout;
  auto* versionLabel = new QLabel(u("Excel のバージョン(&V):", "Excel &version:", j));
  version_ = new QComboBox;
  version_->addItem(QStringLiteral("for Excel 2003"));
  version_->addItem(QStringLiteral("for Excel 2007"));
  version_->setCurrentIndex(values.version == 2000 ? 0 : 1);
  versionLabel->setBuddy(version_);
  versionRow->addWidget(versionLabel);
  versionRow->addWidget(version_, 1);
  top->addLayout(versionRow);
  sheets_ = new QCheckBox(u("ページごとにシートを分ける (&P)", "One sheet per &page", j));
  sheets_->setChecked(values.sheetPerPage);
  top->addWidget(sheets_);
  auto* fileRow = new QHBoxLayout;
  toFile_ = new QCheckBox(u("デスクトップにスクリプトに出力する(&F):", "Write the script to a &file:", j));
  toFile_->setChecked(values.toFile);
  path_ = new QLineEdit(QtText_fromCp932(values.path));
  browse_ = new QPushButton(u("参照", "Browse", j));
  fileRow->addWidget(toFile_);
  fileRow->addWidget(path_, 1);
  fileRow->addWidget(browse_);
  top->addLayout(fileRow);
  auto enable = [this] {
    path_->setEnabled(toFile_->isChecked());
    browse_->setEnabled(toFile_->isChecked());
  };
  enable();
  connect(toFile_, &QCheckBox::toggled, this, enable);
  connect(browse_, &QPushButton::clicked, this, [this] { browse(); });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  top->addWidget(buttons);
}

ExcelOptionValues CExcelOption::values() const {
  ExcelOptionValues v;
  v.version = version_->currentIndex() == 0 ? 2000 : 2007;
  v.sheetPerPage = sheets_->isChecked();
  v.toFile = toFile_->isChecked();
  v.path = QtText_toCp932(path_->text());
  return v;
}

void CExcelOption::browse() {
  const std::string field = QtText_toCp932(path_->text());
  std::string path = field.empty() ? StrX_joinPath(desktop_, "VBA.wsf")
                                   : CSaveExDlg_absoluteName(field, desktop_);
  int kind = 0;
  if (!UserPrompts_get().saveFileName(japanese_ ? "名前を付けて保存" : "Save As", kFilter, path, kind,
                                      WindowIds_idOf(this)))
    return;
  path_->setText(QtText_fromCp932(StrX_makeRelative(withExtension(path), desktop_)));
}

std::string OfficeScriptWindow_run(CMainFrame& frame, OfficeTarget target, int32_t flags) {
  if (!frame.hasNote()) return "";
  UserPrompts& prompts = UserPrompts_get();
  const bool ja = frame.options().japanese;
  const uint32_t owner = WindowIds_idOf(&frame);
  const std::string desktop = NoteSave_desktopFolder(frame);
  // Without a person to answer again, a "No" to overwriting ends the command.
  const bool again = prompts.interactive();
  std::string path;
  bool run = false;
  if (target == OfficeTarget::Excel) {
    ExcelOptionValues values;
    const int32_t last = lastVersion() != 0 ? lastVersion() : frame.options().vbaVer;
    values.version = last == 2000 ? 2000 : 2007;
    values.path = StrX_makeRelative(defaultPath(frame), desktop);
    for (;;) {
      CExcelOption dialog(&frame, values, desktop, ja);
      const int answer = CExcelOption::exec          ? CExcelOption::exec(dialog)
                         : prompts.interactive() ? dialog.QDialog::exec()
                                                 : int(QDialog::Accepted);
      if (answer != QDialog::Accepted) return "";
      values = dialog.values();
      lastVersion() = values.version;
      if (frame.options().vbaVerChanged) frame.options().vbaVerChanged(values.version);
      flags = (values.sheetPerPage ? 1 : 0) | (values.version == 2007 ? kOfficeFlagExcel2007 : 0);
      if (!values.toFile) {
        path = workPath(frame);
        run = true;
        break;
      }
      path = withExtension(CSaveExDlg_absoluteName(values.path, desktop));
      if (mayWrite(frame, path)) break;
      if (!again) return "";
    }
  } else {
    const bool word = target == OfficeTarget::Word;
    for (;;) {
      const PromptAnswer answer = prompts.messageBox(
          word ? "Microsoft Word に変換しますか？\r\n（いいえ＝スクリプトのみ出力）"
               : "Power Point に変換しますか？\r\n（いいえ＝スクリプトのみ出力）",
          word ? "Word に変換" : "PowerPoint に変換", PromptButtons::YesNoCancel, PromptIcon::Question,
          PromptAnswer::Yes, owner);
      if (answer == PromptAnswer::Yes) {
        path = workPath(frame);
        run = true;
        break;
      }
      if (answer != PromptAnswer::No) return "";
      path = defaultPath(frame);
      if (!askFileName(frame, path)) return "";
      if (mayWrite(frame, path)) break;
      if (!again) return "";
    }
  }

  FrameOfficeHost host(frame);
  std::string written;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  Except_tryCatch(
      [&] {
        WriteConversionScript(frame.document(), path, target, flags, host);
        written = path;
      },
      [&](const Errors_Msg& e) {
        prompts.messageBox(e.message(), "", PromptButtons::Ok, PromptIcon::Warning, PromptAnswer::Ok, owner);
      });
  QGuiApplication::restoreOverrideCursor();
  if (!written.empty() && run) ShellServices_get().openWithDefault(written);
  return written;
}

void OfficeScriptWindow_register(CommandTable& table, CMainFrame& frame) {
  const bool ja = frame.options().japanese;
  const char* menu = ja ? "ファイル(&F)" : "&File";
  table.add(Cmd_ConvertWord, ja ? "Microsoft Word 形式に変換(&W)..." : "Convert to Microsoft &Word...", menu, {},
            [&frame] { OfficeScriptWindow_run(frame, OfficeTarget::Word, 0); });
  table.add(Cmd_ConvertExcel, ja ? "Microsoft Excel 形式に変換(&X)..." : "Convert to Microsoft E&xcel...", menu,
            {}, [&frame] { OfficeScriptWindow_run(frame, OfficeTarget::Excel, 0); });
  table.add(Cmd_ConvertPowerPoint,
            ja ? "Microsoft PowerPoint 形式に変換(&P)..." : "Convert to Microsoft &PowerPoint...", menu, {},
            [&frame] { OfficeScriptWindow_run(frame, OfficeTarget::PowerPoint, 0); });
  table.add(Cmd_ConvertPowerPointLarge,
            ja ? "Microsoft PowerPoint 形式（拡大）に変換(&2)..." : "Convert to Microsoft PowerPoint, enlarged (&2)...",
            menu, {}, [&frame] { OfficeScriptWindow_run(frame, OfficeTarget::PowerPoint, kOfficeFlagEnlarge); });
}
