// Command 33041 of a main window: the pages of the note as image files,
// with the dialog "ページ全体を画像で出力" (which pages, PNG or JPEG, the
// tiles, folds and the HTML index), the save dialog, the question where
// the files go and whether to overwrite them; the images themselves are
// made as "-cp"/"-cj" make them (page_images.h).
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

class CMainFrame;
class CommandTable;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// What the dialog asks.
struct OutPageValues {
  int range = 0;  // 0 all pages, 1 the current page, 2 from ... to
  int32_t from = 1, to = 1;
  bool png = true;
  bool limitSize = false;
  int32_t maxWidth = 240, maxHeight = 260;
  bool useMinZoom = false;
  int32_t minZoom = 60;
  bool vertical = false;
  bool useFolds = false;
  int32_t folds = 4;  // 2 ... 8
  bool html = false;
};

// COutPageDlg.  The edits of a check box are enabled only while it is
// checked; typing in a page number chooses "ページ指定"; OK is enabled
// only while every enabled edit holds a number.
class COutPageDlg : public QDialog {
 public:
  COutPageDlg(int32_t lastPage, bool png, QWidget* parent = nullptr);
  OutPageValues values() const;

  QRadioButton* all = nullptr;
  QRadioButton* current = nullptr;
  QRadioButton* fromTo = nullptr;
  QLineEdit* fromEdit = nullptr;
  QLineEdit* toEdit = nullptr;
  QRadioButton* pngRadio = nullptr;
  QRadioButton* jpegRadio = nullptr;
  QCheckBox* limitSize = nullptr;
  QLineEdit* widthEdit = nullptr;
  QLineEdit* heightEdit = nullptr;
  QCheckBox* minZoom = nullptr;
  QLineEdit* zoomEdit = nullptr;
  QCheckBox* vertical = nullptr;
  QCheckBox* folds = nullptr;
  QSpinBox* foldSpin = nullptr;
  QCheckBox* html = nullptr;
  QPushButton* ok = nullptr;

 private:
  void update();
};

// ExportPageImages from the window.  `dialog` gives the options (empty:
// COutPageDlg; false = cancelled).  Answers the number of image files
// written (0 when cancelled or failed; failures are reported).
int PageImageCommand_run(CMainFrame& frame,
                         const std::function<bool(OutPageValues&)>& dialog = {});

void PageImageCommand_register(CommandTable& table, CMainFrame& frame);
