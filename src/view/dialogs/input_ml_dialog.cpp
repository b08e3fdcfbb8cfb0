#include "view/dialogs/input_ml_dialog.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/prompts/user_prompts.h"
#include "platform/text/qt_text.h"
#include "view/dialogs/dialog_run.h"

std::function<int(CInputML1&)> CInputML1::exec;

CInputML1::CInputML1(QWidget* parent, const std::string& text, bool japanese, QPoint at)
    : QDialog(parent), edit_(new QPlainTextEdit(this)) {
  setWindowTitle(QString::fromUtf8(japanese ? "\xe3\x83\x86\xe3\x82\xad\xe3\x82\xb9\xe3\x83\x88"
                                            : "Text"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(edit_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  setText(text);
  edit_->selectAll();
  resize(360, 200);
  move(at);
}

// The box's line breaks are "\r\n"; the edit's are "\n".
std::string CInputML1::text() const {
  const std::string lf = QtText_toCp932(edit_->toPlainText());
  std::string out;
  for (char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void CInputML1::setText(const std::string& text) {
  std::string lf;
  for (char c : text) {
    if (c != '\r') lf += c;
  }
  edit_->setPlainText(QtText_fromCp932(lf));
}

bool CInputML1_ask(QWidget* parent, std::string& text, bool japanese, QPoint at) {
  CInputML1 dialog(parent, text, japanese, at);
  if (Dialog_run(dialog) != QDialog::Accepted) return false;
  text = dialog.text();
  return true;
}
