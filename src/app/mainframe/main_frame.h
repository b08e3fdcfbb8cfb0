// The main window of a note.  For now a plain window that shows the note's
// name in its title; the editing view and its panes plug into it later.
#pragma once

#include <QMainWindow>
#include <string>
#include <string_view>

// The title: file name, " - ", then the page part and " - " when there is
// one, then "Brevlo 3.10".  An empty path gives "無題" / "NoTitle".
std::string CMainFrame_titleText(std::string_view notePath, std::string_view pagePart,
                                 bool japanese);

class CMainFrame : public QMainWindow {
 public:
  CMainFrame(std::string notePath, bool japanese);
  const std::string& notePath() const { return notePath_; }
  void RefreshWindowTitle();

 private:
  std::string notePath_;
  bool japanese_;
};
