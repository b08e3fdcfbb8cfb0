#include "platform/prompts/qt_user_prompts.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "platform/text/font_substitution.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"

namespace {

QMessageBox::StandardButton standardOf(PromptAnswer a) {
  switch (a) {
    case PromptAnswer::Ok: return QMessageBox::Ok;
    case PromptAnswer::Cancel: return QMessageBox::Cancel;
    case PromptAnswer::Yes: return QMessageBox::Yes;
    case PromptAnswer::No: return QMessageBox::No;
    case PromptAnswer::Retry: return QMessageBox::Retry;
  }
  return QMessageBox::Ok;
}

QMessageBox::StandardButtons buttonsOf(PromptButtons b) {
  switch (b) {
    case PromptButtons::Ok: return QMessageBox::Ok;
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon iconOf(PromptIcon i) {
  switch (i) {
    case PromptIcon::None: return QMessageBox::NoIcon;
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::Question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

PromptAnswer answerOf(int button, PromptAnswer fallback) {
  switch (button) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Retry: return PromptAnswer::Retry;
    default: return fallback;
  }
}

}  // namespace

std::unique_ptr<QMessageBox> QtUserPrompts_makeMessageBox(std::string_view text,
                                                          std::string_view title,
                                                          PromptButtons buttons, PromptIcon icon,
                                                          PromptAnswer defaultAnswer,
                                                          uint32_t owner) {
  auto box = std::make_unique<QMessageBox>(iconOf(icon), QtText_fromCp932(title),
                                           QtText_fromCp932(text), buttonsOf(buttons),
                                           WindowIds_find(owner));
  box->setDefaultButton(standardOf(defaultAnswer));
  return box;
}

PromptAnswer QtUserPrompts::messageBox(std::string_view text, std::string_view title,
                                       PromptButtons buttons, PromptIcon icon,
                                       PromptAnswer defaultAnswer, uint32_t owner) {
  auto box = QtUserPrompts_makeMessageBox(text, title, buttons, icon, defaultAnswer, owner);
  // Closing the box with the window's close button picks the escape button.
  PromptAnswer fallback = buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
  if (buttons == PromptButtons::YesNo) fallback = PromptAnswer::No;
  return answerOf(box->exec(), fallback);
}

bool QtUserPrompts::inputText(std::string_view prompt, std::string_view title,
                              std::string& value, uint32_t owner) {
  bool ok = false;
  QString got = QInputDialog::getText(WindowIds_find(owner), QtText_fromCp932(title),
                                      QtText_fromCp932(prompt), QLineEdit::Normal,
                                      QtText_fromCp932(value), &ok);
  if (ok) value = QtText_toCp932(got);
  return ok;
}

std::unique_ptr<QDialog> QtUserPrompts_makeDetailDialog(std::string_view caption,
                                                        std::string_view text, uint32_t owner) {
  auto dialog = std::make_unique<QDialog>(WindowIds_find(owner));
  dialog->setWindowTitle(QtText_fromCp932(caption));
  dialog->setFont(FontSubstitution_font("ＭＳ Ｐ明朝", 10));
  // Dialog units: a quarter of the average character width across, an
  // eighth of the character height down.
  QFontMetrics fm(dialog->font());
  const double ux = fm.averageCharWidth() / 4.0;
  const double uy = fm.height() / 8.0;
  auto px = [&](int dlu) { return static_cast<int>(dlu * ux + 0.5); };
  auto py = [&](int dlu) { return static_cast<int>(dlu * uy + 0.5); };
  dialog->setFixedSize(px(300), py(127));

  auto* edit = new QPlainTextEdit(dialog.get());  // owned by the dialog
  edit->setObjectName(QStringLiteral("4225"));
  edit->setReadOnly(true);
  edit->setPlainText(QtText_fromCp932(text));
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit->setFrameShape(QFrame::Box);
  edit->setGeometry(px(3), py(3), px(294), py(100));

  auto* ok = new QPushButton(QStringLiteral("&OK"), dialog.get());
  ok->setObjectName(QStringLiteral("1"));
  ok->setGeometry(px(134), py(109), px(40), py(12));
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, dialog.get(), &QDialog::accept);
  ok->setFocus();
  return dialog;
}

void QtUserPrompts::showDetail(std::string_view caption, std::string_view text, uint32_t owner) {
  auto dialog = QtUserPrompts_makeDetailDialog(caption, text, owner);
  if (QWidget* parent = dialog->parentWidget()) {
    dialog->move(parent->geometry().center() - dialog->rect().center());
  } else if (QScreen* screen = dialog->screen()) {
    dialog->move(screen->availableGeometry().center() - dialog->rect().center());
  }
  dialog->exec();
}

bool QtUserPrompts::saveFileName(std::string_view title, std::string_view filter,
                                 std::string& path, int& filterIndex, uint32_t owner) {
  // "label|pattern|...||" into Qt's "label (pattern)" entries.
  QStringList filters;
  const QStringList parts = QtText_fromCp932(filter).split(u'|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    QString pattern = parts[i + 1];
    pattern.replace(u';', u' ');
    filters << (parts[i].contains(u'(') ? parts[i] : parts[i] + QStringLiteral(" (") + pattern + QStringLiteral(")"));
  }
  QFileDialog dialog(WindowIds_find(owner), QtText_fromCp932(title));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setNameFilters(filters);
  if (filterIndex >= 0 && filterIndex < filters.size()) dialog.selectNameFilter(filters[filterIndex]);
  const QFileInfo proposed(QtText_fromCp932(path));
  dialog.setDirectory(proposed.absolutePath());
  dialog.selectFile(proposed.fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
  path = QtText_toCp932(dialog.selectedFiles().front());
  return true;
}

bool QtUserPrompts::openFileName(std::string_view title, std::string_view filter,
                                 std::string& path, uint32_t owner) {
  // "label (a, b)|a;b|..." into Qt's "label (a b)": the patterns of the
  // second column, whatever the label's parentheses say.
  QStringList filters;
  const QStringList parts = QtText_fromCp932(filter).split(u'|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    QString label = parts[i];
    if (const qsizetype open = label.indexOf(u'('); open > 0) label = label.left(open).trimmed();
    QString pattern = parts[i + 1];
    pattern.replace(u';', u' ');
    if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
    filters << label + QStringLiteral(" (") + pattern + QStringLiteral(")");
  }
  QFileDialog dialog(WindowIds_find(owner), QtText_fromCp932(title));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setNameFilters(filters);
  const QFileInfo start(QtText_fromCp932(path));
  dialog.setDirectory(start.isDir() ? start.absoluteFilePath() : start.absolutePath());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = QtText_toCp932(dialog.selectedFiles().front());
  return true;
}

PromptAnswer QtUserPrompts::confirmWithCheck(std::string_view text, std::string_view title,
                                             std::string_view checkLabel, bool& checked,
                                             PromptAnswer defaultAnswer, uint32_t owner) {
  std::unique_ptr<QMessageBox> box = QtUserPrompts_makeMessageBox(
      text, title, PromptButtons::OkCancel, PromptIcon::Question, defaultAnswer, owner);
  auto* check = new QCheckBox(QtText_fromCp932(checkLabel));
  box->setCheckBox(check);
  const int answer = box->exec();
  checked = check->isChecked();
  return answer == QMessageBox::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
}
