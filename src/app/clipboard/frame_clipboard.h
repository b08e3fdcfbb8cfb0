// The clipboard of a main window: cut, copy and paste of figures (between
// windows and programs through the figure block), of texts, pictures,
// files and web addresses, paste style, and what a drop onto the view
// inserts.  Every paste or drop is one undo step.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "figures/base/cad_prim.h"

class CMainFrame;
class CommandTable;
class QMimeData;
struct FigureBlock;

// The messages of the clipboard.
inline constexpr const char* Clipboard_unsupportedJa = "現在クリップボードにある形式は対応していません。";
inline constexpr const char* Clipboard_splitQuestionJa =
    "貼り付けるテキストが複数行になっています。\r\nテキストの各行を複数のテキストに分けますか？";
inline constexpr const char* Clipboard_splitQuestionEn =
    "Pasting text is multiline text.\r\nDo you want to split text to some texts?\n";

class FrameClipboard : public QObject {
 public:
  explicit FrameClipboard(CMainFrame& frame);

  // Where pastes without an anchor go: 8 x pasteCount units to the right
  // and down, counted while the pastes stay on the page of the last one.
  int32_t pasteCount = 0;
  int32_t pastePage = -1;

  // Copy (anchor: the canvas point the figures are pasted relative to);
  // false when nothing was copied.  The page tree with the focus copies
  // the whole page.
  bool Copy(std::optional<Point32> anchor = std::nullopt);
  // Copy, then delete; nothing is deleted when the copy failed.
  bool Cut();
  // Pastes what the clipboard holds; false when nothing was pasted.
  bool Paste(std::optional<Point32> anchor = std::nullopt);
  // The style of the copied figures onto the selected figures of the
  // same kinds.
  bool PasteStyle();
  // Inserts `data` (a paste, or a drop at `anchor` with `move` when the
  // drop moves from this window): figures, text, a picture, files, web
  // addresses.  One undo step.  False when nothing was inserted.
  bool Insert(const QMimeData& data, std::optional<Point32> anchor, bool drop, bool link);
  // A drag over the view: the action its drop takes with these keys
  // (Shift moves, Ctrl copies, both link; a key choice that is not allowed
  // gives the default), Qt::IgnoreAction for data the page cannot take.
  Qt::DropAction DropActionFor(const QMimeData& data, Qt::KeyboardModifiers keys) const;
  // The drop at a page point; answers the action taken (a move onto this
  // very view moves the figures and answers copy: the source deletes
  // nothing).
  Qt::DropAction Drop(const QMimeData& data, Point32 at, Qt::DropAction action);
  // Starts a drag of the selected figures to other windows and programs
  // (the figure block, texts, picture, SVG, and the files they link to);
  // a drop that moved them elsewhere deletes them here (one undo step).
  // Answers the action the drop took.
  Qt::DropAction DragOut(Point32 anchor);
  // How a drag is run: QDrag::exec by default; tests answer for the
  // target.
  std::function<Qt::DropAction(QMimeData*, Qt::DropActions allowed)> dragExec;
  // The clipboard's and a drag's form of figures of the shown page.
  // The ink of a copy, moved as the paste asks; `area` grows by it.
  bool pasteInk(const QMimeData& data, std::optional<Point32> anchor, Rect32& area);
  std::unique_ptr<QMimeData> MimeOf(const std::vector<const CadPrim*>& figures,
                                    std::optional<Point32> anchor, bool wholePage) const;

  // The text of the copied text boxes, sorted by y, then x, one per line
  // (CP932, "\r\n" between them).
  static std::string TextsOf(const std::vector<const CadPrim*>& figures);

 private:
  std::vector<const CadPrim*> copySource(bool& wholePage) const;
  bool pasteBlock(const FigureBlock& block, std::optional<Point32> anchor, bool drop,
                  Rect32& united);
  bool pasteText(const std::string& text, std::optional<Point32> anchor, bool drop,
                 Rect32& united, bool& cancelled);
  // `refused`: a picture too large, said already.
  bool pasteImage(const QMimeData& data, Rect32& united, bool& refused);
  bool pasteFiles(const QMimeData& data, std::optional<Point32> anchor, bool drop, bool link,
                  Rect32& united);
  // TextToBoxes: boxes made from a text (one per line when split), at the
  // anchor or the next text place; answers their area.
  Rect32 textToBoxes(const std::string& text, bool split, std::optional<Point32> anchor,
                     const std::string& link = {});
  void afterInsert(const Rect32& united);
  bool moveHere(const FigureBlock& block, Point32 at);
  bool shortcutsFor(const FigureBlock& block, Point32 at);
  void say(const std::string& text, const char* title = "Zerbin") const;

  CMainFrame& frame_;
  // The next place of a text box made from text (page units).
  Point32 nextText_{30, 30};
  bool settingClipboard_ = false;
};

// Binds cut (57635), copy (57634), paste (57637), copy style (32987),
// paste style (32988) and the date paste (32998) with their keys.
void FrameClipboard_register(CommandTable& table, CMainFrame& frame);
