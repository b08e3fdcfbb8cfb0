#include "view/dialogs/input_dialogs.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/prompts/user_prompts.h"
#include "platform/text/qt_text.h"

std::function<int(CInputDlg1&)> CInputDlg1::exec;
std::function<int(CInputIntDlg1&)> CInputIntDlg1::exec;
std::function<int(CInputSelectDlg&)> CInputSelectDlg::exec;
std::function<int(CAlarmDlg&)> CAlarmDlg::exec;
std::function<int(CColorDialog&)> CColorDialog::exec;
std::function<int(CFontDialog&)> CFontDialog::exec;

namespace {

// The prompt, the field and OK / Cancel, top to bottom.
QVBoxLayout* frame(QDialog& d, const std::string& title, const std::string& prompt) {
  d.setWindowTitle(QtText_fromCp932(title));
  auto* layout = new QVBoxLayout(&d);
  if (!prompt.empty()) layout->addWidget(new QLabel(QtText_fromCp932(prompt), &d));
  return layout;
}

void buttons(QDialog& d, QVBoxLayout* layout) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  QObject::connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  layout->addWidget(box);
}

}  // namespace

void InputDialogs_centreOn(QWidget& dialog, QPoint at) {
  dialog.adjustSize();
  QRect r(QPoint(), dialog.size());
  r.moveCenter(at);
  if (const QScreen* screen = QGuiApplication::screenAt(at)) {
    const QRect area = screen->availableGeometry();
    r.moveLeft(std::max(area.left(), std::min(r.left(), area.right() - r.width())));
    r.moveTop(std::max(area.top(), std::min(r.top(), area.bottom() - r.height())));
  }
  dialog.move(r.topLeft());
}

CInputDlg1::CInputDlg1(QWidget* parent, const std::string& title, const std::string& prompt,
                       const std::string& text, const std::vector<std::string>& targetChoices)
    : QDialog(parent) {
  QVBoxLayout* layout = frame(*this, title, prompt);
  if (targetChoices.empty()) {
    edit_ = new QLineEdit(this);
  } else {
    combo_ = new QComboBox(this);
    combo_->setEditable(true);
    for (const std::string& c : targetChoices) combo_->addItem(QtText_fromCp932(c));
    edit_ = combo_->lineEdit();
  }
  layout->addWidget(combo_ != nullptr ? static_cast<QWidget*>(combo_) : edit_);
  buttons(*this, layout);
  setText(text);
  edit_->selectAll();
  setMinimumWidth(320);
}

void CInputDlg1::addBrowse(const std::string& filter, const std::string& folder) {
  auto* browse = new QPushButton("...", this);
  browse->setObjectName("browse");
  layout()->addWidget(browse);
  connect(browse, &QPushButton::clicked, this, [this, filter, folder] {
    std::string path = folder;
    if (UserPrompts_get().openFileName(QtText_toCp932(windowTitle()), filter, path, 0)) {
      setText(path);
    }
  });
}

std::string CInputDlg1::text() const { return QtText_toCp932(edit_->text()); }
void CInputDlg1::setText(const std::string& text) { edit_->setText(QtText_fromCp932(text)); }

CInputIntDlg1::CInputIntDlg1(QWidget* parent, const std::string& title, const std::string& prompt,
                             int32_t value)
    : QDialog(parent), edit_(new QLineEdit(this)) {
  QVBoxLayout* layout = frame(*this, title, prompt);
  layout->addWidget(edit_);
  buttons(*this, layout);
  edit_->setText(QString::number(value));
  edit_->selectAll();
  setMinimumWidth(240);
}

std::string CInputIntDlg1::text() const { return edit_->text().toStdString(); }
void CInputIntDlg1::setText(const std::string& text) { edit_->setText(QString::fromStdString(text)); }

CInputSelectDlg::CInputSelectDlg(QWidget* parent, const std::string& title,
                                 const std::vector<std::string>& choices, int32_t current)
    : QDialog(parent), list_(new QListWidget(this)) {
  QVBoxLayout* layout = frame(*this, title, {});
  for (const std::string& c : choices) list_->addItem(QtText_fromCp932(c));
  layout->addWidget(list_);
  buttons(*this, layout);
  choose(current);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

int32_t CInputSelectDlg::chosen() const { return list_->currentRow(); }
void CInputSelectDlg::choose(int32_t index) {
  if (index >= 0 && index < list_->count()) list_->setCurrentRow(index);
}

CAlarmDlg::CAlarmDlg(QWidget* parent, bool japanese, std::time_t time)
    : QDialog(parent), edit_(new QDateTimeEdit(this)) {
  QVBoxLayout* layout = frame(*this, japanese ? "アラーム時刻の設定" : "Alarm Time", {});
  edit_->setDisplayFormat("yyyy/MM/dd HH:mm:ss");
  edit_->setCalendarPopup(true);
  layout->addWidget(edit_);
  buttons(*this, layout);
  setTime(time);
}

std::time_t CAlarmDlg::time() const { return static_cast<std::time_t>(edit_->dateTime().toSecsSinceEpoch()); }
void CAlarmDlg::setTime(std::time_t time) {
  edit_->setDateTime(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(time)));
}

CColorDialog::CColorDialog(QWidget* parent, uint32_t colour) : QColorDialog(parent) {
  setOption(QColorDialog::DontUseNativeDialog);
  setCurrentColor(QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
}

uint32_t CColorDialog::colour() const {
  const QColor c = currentColor();
  return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
         static_cast<uint32_t>(c.blue()) << 16;
}

CFontDialog::CFontDialog(QWidget* parent, const QFont& font) : QFontDialog(parent) {
  setOption(QFontDialog::DontUseNativeDialog);
  setCurrentFont(font);
}
