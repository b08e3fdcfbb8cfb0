// The figure interface.  Every object on a page is a `CadPrim`; the view,
// the note reader and writer, the clipboard, undo, the property grid and
// the exporters only call the virtual operations below, listed in the
// order of the figure table (slot 0 is the destructor).
//
// Kinds other than the canvas derive from `CadFigure`, which holds the
// common header (figure number, isCopy, selected, moveMark, locked) and the
// shared header accessors.  The canvas derives from `CadPrim` directly.
//
// Rules for every kind:
//   - A kind that takes part in links calls `Links_detachOnDestroy(*this,
//     isCopy)` (links.h) from its destructor.  Destructors never raise.
//   - `CopyFrom` and `ReadSnapshot` copy partner numbers only, never partner
//     pointers; `ResolveLinks` (driven by FigureList_resolveLinks) makes the
//     pointers, and only where both sides hold the link.
//   - `Draw` leaves the surface state as it found it (ScopedPen, ScopedBrush,
//     SurfaceSaver) and never raises.
//   - Errors of the base are code 102 (Errors_Unofficial, "error").
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/surface/surface.h"
#include "figures/base/attachment.h"
#include "figures/base/draw_context.h"
#include "figures/base/figure_kind.h"
#include "figures/base/geometry.h"
#include "figures/base/property_row.h"

class FigureList;
class SnapshotWriter;
class SnapshotReader;
// Writer states of the note writer and the exporters (defined with them).
struct SvgWriteContext;
struct VmlWriteContext;
struct OfficeScriptWriter;
struct MhtmlWriteContext;
// The diagnostic object list of RegisterWatch (no behaviour here).
struct FigureWatchList;
// Every link slot of one figure (links.h).
struct LinkSlots;

// The common header every kind but the canvas begins with.
struct FigureHeader {
  int32_t number = 0;     // figure number: the identity, from the app counter
  bool isCopy = false;    // an undo or clipboard copy: no file deletion, no detaching
  bool selected = false;  // in the view's selection
  bool moveMark = false;  // moves with the current selection
  bool locked = false;    // only kinds with a "固定" row use it
  friend bool operator==(const FigureHeader&, const FigureHeader&) = default;
};

class CadPrim {
 public:
  CadPrim() = default;
  CadPrim(const CadPrim&) = delete;
  CadPrim& operator=(const CadPrim&) = delete;

  /* 0 */ virtual ~CadPrim() = default;
  /* 1 */ virtual void Reserved1(int) {}       // no effect in every kind
  /* 2 */ virtual void Reserved2(int, int) {}  // no effect in every kind

  /* 3 */ virtual int32_t GetNumber() const = 0;
  /* 4 */ virtual void SetNumber(int32_t number) = 0;
  // Replaces every stored partner number equal to `oldNumber` by `newNumber`.
  /* 5 */ virtual void RenumberLinks(int32_t /*oldNumber*/, int32_t /*newNumber*/) {}
  /* 6 */ virtual FigureKind GetKind() const = 0;
  /* 7 */ virtual std::string GetKindNameJapanese() const = 0;
  /* 8 */ virtual std::string GetKindNameEnglish() const = 0;
  /* 9 */ virtual void SetIsCopy(bool isCopy) = 0;

  // Link URL or "onclick" script, target window, after-click action (0
  // nothing, 1 close the window, 2 viewer mode, 3 viewer mode and close).
  /* 10 */ virtual std::string GetUrl() const { return ""; }
  /* 11 */ virtual void SetUrl(std::string_view) {}
  /* 12 */ virtual bool HasAttachedFile() const { return false; }
  /* 13 */ virtual void ApplyLinkColours(bool /*isAttachedFile*/) {}
  /* 14 */ virtual std::string GetTarget() const { return ""; }
  /* 15 */ virtual void SetTarget(std::string_view) {}
  /* 16 */ virtual int32_t GetAfterClick() const { return 0; }
  /* 17 */ virtual std::string GetId() const { return ""; }
  /* 18 */ virtual void SetId(std::string_view) {}
  /* 19 */ virtual std::string GetPub() const { return ""; }
  /* 20 */ virtual bool HasAttachments() const { return false; }

  // Output.  The writer states are the note writer's and exporters'.
  /* 21 */ virtual void WriteSvg(SvgWriteContext&) const {}
  // Appends one HTML image-map area to `dst`; false (nothing appended) when
  // the figure has no link or the result would exceed `size` - 1 bytes.
  /* 22 */ virtual bool WriteImageMapArea(std::string& /*dst*/, size_t /*size*/,
                                          std::string_view /*baseFolder*/) const {
    return false;
  }
  // Appends the figure's text (CP932) for a plain-text export.
  /* 23 */ virtual void WritePlainText(std::string& /*dst*/) const {}
  // The statements of a conversion script (office_script_writer.h): the
  // number of lines written goes to `lineCount`, the answer is how far the
  // page's running figure index advances.  Kinds without statements write
  // nothing and answer 0.
  /* 24 */ virtual int32_t WriteOfficeScript(OfficeScriptWriter&, int32_t /*index*/,
                                              int32_t& lineCount, int32_t /*kind*/,
                                              int32_t /*flags*/) const {
    lineCount = 0;
    return 0;
  }
  /* 25 */ virtual void WriteVml(VmlWriteContext&, int32_t) const {}
  /* 26 */ virtual void WriteMhtmlPart(MhtmlWriteContext&, int32_t /*partIndex*/) const {}

  /* 27 */ virtual void Draw(Surface& surface, const DrawContext& ctx) = 0;
  // Paints the grab handles: squares in `colour` with a pen of colour ^
  // 0xFFFFFF, or crosses (handles.h).
  /* 28 */ virtual void DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour,
                                    int32_t ignored) = 0;

  // Copies every persistent field, the figure number included; partners are
  // copied as numbers (list: where the caller's figures live, may be null).
  /* 29 */ virtual void CopyFrom(const CadPrim& other, const FigureList* list) = 0;
  /* 30 */ virtual void CopyStyleFrom(const CadPrim& other, int32_t mode) = 0;
  // Same kind and every persistent field equal; mode 5 also compares links.
  /* 31 */ virtual bool Equals(const CadPrim& other, int32_t mode) const = 0;
  /* 32 */ virtual std::unique_ptr<CadPrim> Clone(const FigureList* list) const = 0;

  // Snapshots (snapshot.h): exact size in bytes, header included.
  /* 33 */ virtual size_t GetSnapshotSize() const = 0;
  /* 34 */ virtual void WriteSnapshot(SnapshotWriter& out) const = 0;
  // Restores every persistent field; partner pointers are not touched.
  // Malformed data raises 102.
  /* 35 */ virtual void ReadSnapshot(SnapshotReader& in) = 0;

  // The path is CP932 (the caller converts).
  /* 36 */ virtual void LinkToFileAnchor(std::string_view /*path*/) {}
  /* 37 */ virtual void RegisterWatch(FigureWatchList&, int32_t, int32_t) {}

  /* 38 */ virtual HitResult HitTest(int32_t x, int32_t y, int32_t zoom, int32_t mode) = 0;
  /* 39 */ virtual Point32 GetHandlePoint(int32_t handle) const = 0;
  /* 40 */ virtual void MoveBy(int32_t dx, int32_t dy) = 0;
  // Handle -1 moves the whole figure so that its reference point lands on
  // (x, y).
  /* 41 */ virtual void DragHandleTo(int32_t handle, int32_t x, int32_t y, bool constrain,
                                     int32_t ignored, bool rotate) = 0;
  /* 42 */ virtual void DragHandleBy(int32_t /*handle*/, int32_t /*dx*/, int32_t /*dy*/,
                                     bool /*noSnap*/, int32_t /*ignored*/) {}

  /* 43 */ virtual void SetSelected(bool selected) = 0;
  /* 44 */ virtual bool IsSelected() const = 0;
  /* 45 */ virtual bool KeepInSelection() const { return true; }
  /* 46 */ virtual void SetMoveMark(bool mark) = 0;
  /* 47 */ virtual bool HasMoveMark() const = 0;
  // Sets moveMark on the figures that must move with this one.
  /* 48 */ virtual void MarkAttachedForMove() {}

  // Whether the figure's box overlaps r by at least one unit both ways.
  /* 49 */ virtual bool IntersectsRect(const Rect32& r) const = 0;
  // x = GetEdge(0), y = GetEdge(2), w = GetEdge(1) - x, h = GetEdge(3) - y.
  /* 50 */ virtual Rect32 GetBounds() const;
  /* 51 */ virtual void SetLocked(bool) {}
  /* 52 */ virtual bool IsLocked() const { return false; }
  // 0 left, 1 right, 2 top, 3 bottom, 4 horizontal centre, 5 vertical
  // centre, 6 reference x, 7 reference y; others raise 102.
  /* 53 */ virtual int32_t GetEdge(int32_t which) const = 0;
  // Moves (without resizing) so that edge 0-5 takes the value; others
  // raise 102.
  /* 54 */ virtual void SetEdge(int32_t which, int32_t value) = 0;
  /* 55 */ virtual int32_t GetExtent(bool vertical) const = 0;
  /* 56 */ virtual void SetExtent(bool vertical, int32_t value) = 0;
  /* 57 */ virtual void EnsureMinimumSize() {}

  /* 58 */ virtual int32_t GetPropertyCount() const = 0;
  // One row; `valueCapacity` is the grid's value buffer (bytes with the
  // terminator); a non-empty noteFolder makes paths relative to it.  A row
  // past the end is PropertyRow_pastEnd().
  /* 59 */ virtual PropertyRow GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                                           std::string_view noteFolder) const = 0;
  /* 60 */ virtual void SetProperty(int32_t row, std::string_view value,
                                    std::string_view noteFolder) = 0;
  /* 61 */ virtual bool HasMultibyteText() const { return false; }

  // Line ends hanging on this node: record n from 1 (null when none).
  /* 62 */ virtual const Attachment* GetAttachment(int32_t /*n*/) const { return nullptr; }
  /* 63 */ virtual int32_t GetAttachmentCount() const { return 0; }
  // This figure's own ends (1 or 2) and the nodes they hang on.
  /* 64 */ virtual CadPrim* GetEndTarget(int32_t /*end*/) const { return nullptr; }
  // A stored -1 is reset to 0 and 0 returned.
  /* 65 */ virtual int32_t GetEndTargetNumber(int32_t /*end*/) { return 0; }
  /* 66 */ virtual int32_t GetEndCount() const { return 0; }
  /* 67 */ virtual bool IsNearCentre(int32_t, int32_t, int32_t /*tolerance*/) const {
    return false;
  }
  /* 68 */ virtual bool ContainsPoint(int32_t, int32_t) const { return false; }

  // The link protocol (links.h has the helpers the kinds implement it with).
  // Kinds that take no part in links raise 102 from these four.
  /* 69 */ virtual void AttachEnd(int32_t nodeEnd, CadPrim& line, int32_t lineEnd);
  /* 70 */ virtual void DetachEnd(CadPrim& line, int32_t lineEnd, bool notify);
  /* 71 */ virtual void DetachAll(bool /*notify*/) {}
  /* 72 */ virtual void SetEndTarget(int32_t end, CadPrim& node);
  // Forgets the end's target, but only when it is `node`.
  /* 73 */ virtual void ClearEndTarget(int32_t end, const CadPrim& node);
  // Turns this figure's stored partner numbers into pointers (no recursion:
  // FigureList_resolveLinks drives it for a whole list).
  /* 74 */ virtual void ResolveLinks(const FigureList& /*list*/) {}

  // Not in the figure table: lists every link slot of the figure, its own
  // ends and its node-side records, so that the list-wide link helpers
  // (one-sided links, partner numbers) see each slot of each kind.  Kinds
  // that take part in links add all of theirs; the base has none.
  virtual void CollectLinkSlots(LinkSlots& /*out*/) {}
};

// The base of every kind but the canvas: the common header and its
// accessors (slots 3, 4, 9, 43, 44, 46, 47).
class CadFigure : public CadPrim {
 public:
  int32_t GetNumber() const override { return header_.number; }
  void SetNumber(int32_t number) override { header_.number = number; }
  void SetIsCopy(bool isCopy) override { header_.isCopy = isCopy; }
  void SetSelected(bool selected) override { header_.selected = selected; }
  bool IsSelected() const override { return header_.selected; }
  void SetMoveMark(bool mark) override { header_.moveMark = mark; }
  bool HasMoveMark() const override { return header_.moveMark; }

  const FigureHeader& header() const { return header_; }
  bool isCopy() const { return header_.isCopy; }

 protected:
  FigureHeader header_;
};

// Raises 102 unless `which` is 0-7 (GetEdge) / 0-5 (SetEdge).
void Figure_checkGetEdge(int32_t which);
void Figure_checkSetEdge(int32_t which);
