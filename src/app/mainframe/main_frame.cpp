#include "app/mainframe/main_frame.h"

#include <QString>

#include "core/strx/codepage.h"
#include "core/strx/strx_path.h"
#include "platform/text/qt_text.h"

std::string CMainFrame_titleText(std::string_view notePath, std::string_view pagePart,
                                 bool japanese) {
  std::string title = notePath.empty() ? std::string(japanese ? "無題" : "NoTitle")
                                       : StrX_fileName(notePath);
  title += " - ";
  if (!pagePart.empty()) {
    title += pagePart;
    title += " - ";
  }
  title += "Brevlo 3.10";
  return title;
}

CMainFrame::CMainFrame(std::string notePath, bool japanese)
    : notePath_(std::move(notePath)), japanese_(japanese) {
  resize(800, 600);
  RefreshWindowTitle();
}

void CMainFrame::RefreshWindowTitle() {
  setWindowTitle(QtText_fromCp932(CMainFrame_titleText(notePath_, {}, japanese_)));
}
