// The view's pen-ink engine: the ink of the shown page (loaded and stored
// through the note as InkManager), the pen tools and the eraser, the
// stroke being written, what a finished stroke becomes (ink, a click, a
// lasso selection), the ink selection with its moves and resizes, the
// undo records of every ink change and their replay, and the drawing.
// Everything runs on the user-interface thread; positions come in page
// units (fractions allowed) and are kept in ink units.
#pragma once

#include <QImage>
#include <QPointF>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/ink/page_ink.h"
#include "document/note/ink_manager.h"
#include "figures/base/draw_context.h"

class NoteDocument;
class QRectF;
class Surface;
class UndoHistory;
struct UndoRecord;

struct InkEngineHooks {
  std::function<NoteDocument*()> document;
  std::function<UndoHistory*()> history;
  std::function<int32_t()> pageNumber;
  // The ink changed in `pageArea` (page units; none: anywhere).
  std::function<void(std::optional<Rect32> pageArea)> repaint;
  // The ink selection changed (the property bar shows it).
  std::function<void()> selectionChanged;
  // A pen stroke too short to be ink: the select tool is chosen and the
  // stroke acts as a click (or short drag) from `from` to `to`.
  std::function<void(Point32 from, Point32 to)> click;
  // The lasso selected ink: the select tool is chosen.
  std::function<void()> chooseSelectTool;
  // A line for the program's log.
  std::function<void(const std::string& line)> log;
};

class InkEngine final : public InkManager {
 public:
  explicit InkEngine(InkEngineHooks hooks = {});
  ~InkEngine() override;

  // --- InkManager ---
  bool hasInkLoaded() const override { return loaded_; }
  bool inkChanged() const override { return page_.changed(); }
  std::string serialiseInk() override;
  void writeLayerFiles(std::string_view backPath, std::string_view frontPath) override;
  void clearInk() override;
  void loadInk(std::string_view inkData, std::string_view backPath,
               std::string_view frontPath) override;
  int32_t zoomPercent() const override { return zoom_; }
  void setInkArea(int32_t width, int32_t height) override;
  void setZoom(int32_t zoom) { zoom_ = zoom; }

  // --- tools ---
  // 25-31: the pens, markers and the lasso take the left button; any
  // other tool leaves it to the figures.
  void chooseTool(int32_t tool);
  // The eraser: whole strokes under the pen go.
  void chooseEraser();
  int32_t tool() const { return tool_; }
  bool erasing() const { return erasing_; }
  bool takesInput() const { return tool_ != 0 || erasing_; }

  // --- writing, lasso and eraser (page units) ---
  // A press of the left button or the pen; `eraserEnd` erases whatever
  // the tool, `barrel` (the pen's side button) cancels the stroke.
  void press(double x, double y, int32_t pressure, uint32_t tick, bool eraserEnd = false,
             bool barrel = false);
  void move(double x, double y, int32_t pressure);
  void release(double x, double y, uint32_t tick);
  void cancel();
  bool writing() const { return gesture_ != Gesture::None; }
  // The live stroke's part not yet drawn, drawn straight onto a surface
  // that shows the rest already (pens only; false for markers and when
  // nothing is pending: the caller renders `pendingArea` instead).
  bool drawPending(Surface& surface, const DrawContext& ctx, QRectF* drawn);
  std::optional<Rect32> pendingArea() const;

  // --- the ink selection (select tool) ---
  // A press of the select tool: true when it starts a resize (near the
  // corner mark) or a move (on a selected stroke) of the selected ink.
  bool pressSelection(Point32 at, int32_t zoom);
  // A move of selected figures that the selected ink follows (a press on
  // a selected figure).
  void followSelection(Point32 at);
  void dragSelection(Point32 at);
  void releaseSelection(Point32 at);
  bool draggingSelection() const { return drag_ != Drag::None; }
  bool followingFigures() const { return drag_ != Drag::None && following_; }
  // Adds the strokes with 1 % of their points in a page rectangle.
  void selectInRect(const Rect32& pageRect);
  void selectAllInk();
  bool deselectAll();
  bool hasSelection() const { return !page_.selection().empty(); }
  // Deletes the selected strokes (one undo step); false when none.
  bool deleteSelection();
  const PageInk& page() const { return page_; }
  // The attributes of the selected strokes, and a change of one of them
  // (row 0 colour as StrX_readColor reads it, 1 width in ink units, 2
  // pressure "1" used / "0" ignored) as one undo step.
  std::vector<InkAttributes> selectedAttributes() const;
  bool applyAttribute(int32_t row, std::string_view value);

  // --- clipboard (the serialised format's bytes) ---
  std::string copySelection() const;
  // Adds the strokes of a copy, moved by (dx, dy) ink units, selected, as
  // one step; false when the bytes are no ink.
  bool paste(std::string_view bytes, int32_t dx = 0, int32_t dy = 0);
  // Gives the selected strokes the attributes of the copy's first stroke.
  bool pasteStyle(std::string_view bytes);

  // --- undo ---
  void applyRecord(const UndoRecord& record, bool redo);

  // --- drawing ---
  // The ink of page `pageNumber` (the shown page from the engine, others as
  // the note stores them) with the halo of the selection and the stroke
  // being written.
  void drawPage(Surface& surface, const DrawContext& ctx, int32_t pageNumber);
  // The lasso outline and the corner mark of the selection.
  void drawMarks(Surface& surface, const DrawContext& ctx);
  // The selection's corner mark (page units), when there is a selection.
  std::optional<Point32> cornerMark() const;

 private:
  enum class Gesture { None, Stroke, Lasso, Erase };
  enum class Drag { None, Move, Resize };
  InkPoint toInk(double x, double y, int32_t pressure) const;
  void repaint(std::optional<Rect32> inkArea);
  void beginDrag(Drag drag, Point32 at);
  void finishStroke(uint32_t tick);
  void finishLasso();
  void finishErase();
  void eraseAt(const InkPoint& p);
  void recordStrokes(int32_t inkKind, const std::vector<PageInkStroke>& strokes);
  void recordReplace(int32_t inkKind, const std::vector<PageInkStroke>& before);
  void recordMove(int32_t dx, int32_t dy);
  void selectionChanged();
  bool canRecord() const;
  const PageInk* storedPage(int32_t pageNumber);
  // Draws the shown page's finished strokes from its layer pictures (made
  // again when the ink, the zoom or the pixel ratio changed); false when
  // the pictures would be too large and the strokes are drawn one by one.
  bool drawLayers(QPainter& painter, const DrawContext& ctx);

  InkEngineHooks hooks_;
  PageInk page_;
  bool loaded_ = false;
  int32_t zoom_ = 100;
  int32_t tool_ = 0;
  bool erasing_ = false;
  bool keepNextStroke_ = false;
  uint32_t lastStrokeTick_ = 0;
  bool hadStroke_ = false;
  // The gesture of the left button / pen.
  Gesture gesture_ = Gesture::None;
  InkStroke live_;
  size_t liveDrawn_ = 0;
  uint32_t pressTick_ = 0;
  std::vector<InkPoint> lasso_;
  std::vector<PageInkStroke> erased_;
  // A move or resize of the selection.
  Drag drag_ = Drag::None;
  bool following_ = false;
  InkPoint dragInkFrom_;
  int32_t movedX_ = 0, movedY_ = 0;
  std::vector<PageInkStroke> dragBefore_;
  Rect32 dragBox_;
  // Stroke ids of pages whose ink was written, by the written block, so
  // that a page shown again keeps the ids its undo records name.
  static uint64_t blockKey(std::string_view raw);
  std::map<uint64_t, std::vector<uint32_t>> writtenIds_;
  // Back pages and other pages drawn from the note.
  std::map<int32_t, std::pair<std::string, PageInk>> stored_;
  std::vector<uint64_t> reported_;
  // The shown page's finished strokes drawn once at the view's zoom: the
  // markers (multiplied into the page) and the pens, from `layerOrigin`
  // (device pixels at the zoom, before the scroll).
  struct Layers {
    uint64_t revision = UINT64_MAX;
    int32_t zoomX = 0, zoomY = 0;
    qreal ratio = 0;
    QPointF origin;
    Rect32 inkBounds;  // what the pictures cover (ink units)
    QSize size;        // their pixels
    QImage markers, pens;
    bool tooLarge = false;
  };
  Layers layers_;
};

// Tool numbers of the ink tools.
inline constexpr int32_t InkTool_pen = 25;
inline constexpr int32_t InkTool_lasso = 31;
