// CZerbinPropBar: the docking bar beside the view that lists the
// properties of the selected figures (or of the page when nothing is
// selected) and changes one when its line is clicked.  What is listed and
// how a value is applied is PropBar_* (view/propbar); this is the widget
// and the editors each row kind opens.
#pragma once

#include <QDockWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "view/propbar/property_listing.h"

class CMainFrame;
class QListWidget;

class CZerbinPropBar : public QDockWidget {
 public:
  explicit CZerbinPropBar(CMainFrame& frame);

  // Fills the list anew for the view's selection (RefreshPropertyBar).
  // PropBar_noKind lets the selection decide; a chosen kind is kept while
  // the same figures stay selected.  Nothing happens while the bar is
  // hidden: it is filled when it shows again.
  void Refresh(int32_t kind = PropBar_noKind);
  // The same once the events waiting now are handled: many changes in a
  // row (the records of one step) fill the list once.
  void RefreshSoon();
  // Edits the property of a line, as a click on it does.
  void EditLine(int32_t line);

  QListWidget& list() const { return *list_; }
  // The size the bar had when it was last shown (or was given from
  // "window.ini"): what a hidden bar stores.
  QSize keptSize;
  const PropListing& listing() const { return listing_; }

  // The pen-ink component's side: the selected strokes and setting a row
  // (0 colour, 1 width, 2 pressure) on them as one undo step.
  std::function<std::vector<PropInkStroke>()> inkSelection;
  std::function<bool(int32_t row, const std::string& value)> applyInk;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void chooseKind(QPoint at);
  void editRow(int32_t row, QPoint at);
  // Asks for the new value of a row; false on Cancel.
  bool askValue(const PropertyRow& row, const std::vector<const CadPrim*>& edited, QPoint at,
                std::string& value);
  void editInk(int32_t row, QPoint at);
  std::vector<CadPrim*> selection() const;
  QPoint lineCentre(int32_t line) const;
  void report(const std::string& text) const;

  CMainFrame& frame_;
  QListWidget* list_;
  PropListing listing_;
  // The figure numbers the list was filled for (a chosen kind is kept for
  // them), and the text last used in the multi-line editor.
  std::vector<int32_t> listed_;
  std::string lastMultiLine_;
  bool refreshDue_ = false;
};

// The messages and questions of the bar.
inline constexpr const char* PropBar_duplicateIdJa = "id が重複しています。それでも設定しますか。";
inline constexpr const char* PropBar_everyPageJa = "全てのページに設定しますか？";
