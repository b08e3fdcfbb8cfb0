// The link protocol between line ends and the nodes they hang on, as the
// line and text-box kinds implement it.  The invariant every helper keeps:
// a link is two-sided.  A line end points at a node only while the node
// holds a record of that end, and a node's record points at a line only
// while that end points back.  Numbers of 0 or less are never looked up; a
// failed lookup leaves no number without a pointer (the number becomes 0, a
// record is dropped).
//
// A line keeps an `EndLink` per own end (its end target) and, for its rarely
// used end slots, a `NodeLinks` of capacity 1 per end.  A text box keeps a
// `NodeLinks` for the line ends hanging on it and an `EndLink` for the line
// end slot it hangs on itself (attachedTo).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "figures/base/attachment.h"

class CadPrim;
class FigureList;
class SnapshotReader;
class SnapshotWriter;

// One end's target: the node pointer and the node's figure number.
class EndLink {
 public:
  CadPrim* target() const { return target_; }
  int32_t number() const { return number_; }

  // GetEndTargetNumber: a stored -1 (old files) is reset to 0.
  int32_t numberForGet();
  // Sets the number alone (reader, snapshot); the pointer becomes none.
  void setNumber(int32_t number);
  // SetEndTarget: pointer and the node's number.
  void set(CadPrim& node);
  // ClearEndTarget: forgets the target only when it is `node`.
  void clear(const CadPrim& node);
  // Forgets pointer and number without telling anyone.
  void reset();
  // CopyFrom: the number only (pointer none until resolved).
  void copyNumberFrom(const EndLink& other) { setNumber(other.number_); }
  void renumber(int32_t oldNumber, int32_t newNumber);
  // ResolveLinks: the pointer from the number.  Numbers of 0 or less keep
  // no pointer; a number not found, or found on a kind that takes no part in
  // links (with textBoxesOnly: that is not a text box), becomes 0.
  void resolve(const FigureList& list, bool textBoxesOnly);
  // DetachAll on the end's side: asks the target to DetachEnd(self, end,
  // true), then forgets the target in any case.
  void detachFromTarget(CadPrim& self, int32_t end);
  // MarkAttachedForMove: sets moveMark on the target (tested by pointer).
  void markForMove() const;

  static constexpr size_t snapshotSize() { return 4; }
  void write(SnapshotWriter& w) const;
  void read(SnapshotReader& r);  // the number; pointer none

 private:
  CadPrim* target_ = nullptr;
  int32_t number_ = 0;
};

// The records of the line ends hanging on a node, in attaching order.
class NodeLinks {
 public:
  // capacity: how many records the node holds (a line's end slot holds 1).
  explicit NodeLinks(size_t capacity = SIZE_MAX) : capacity_(capacity) {}

  const std::vector<Attachment>& records() const { return records_; }
  size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  // Record n from 1 (GetAttachment), null when out of range.
  const Attachment* get(int32_t n) const;
  // The record of that line end (by pointer), null when none.
  const Attachment* find(const CadPrim& line, int32_t lineEnd) const;

  // AttachEnd: records {line, its number, lineEnd, its handle point} and
  // calls line.SetEndTarget(lineEnd, self).  Returns the new record, or null
  // when that end already hangs here (no effect).  An end that hangs on
  // another node is detached from it first; a full node detaches its oldest
  // record first.  Raises 102 when `line` takes no part in links, has no such
  // end, or is the node itself.
  const Attachment* attach(CadPrim& self, CadPrim& line, int32_t lineEnd);
  // DetachEnd: removes the record (calling line.ClearEndTarget(lineEnd,
  // self) when notify); a missing record is no error.
  void detach(CadPrim& self, const CadPrim& line, int32_t lineEnd, bool notify);
  // Detaches every record, in order.
  void detachAll(CadPrim& self, bool notify);
  // Forgets every record without telling the lines.
  void reset() { records_.clear(); }
  // Forgets the records for which drop(record) is true, without telling
  // the lines.
  template <class Pred>
  void dropIf(Pred drop) {
    std::erase_if(records_, drop);
  }

  // CopyFrom: the records with their numbers, pointers none.
  void copyNumbersFrom(const NodeLinks& other);
  void renumber(int32_t oldNumber, int32_t newNumber);
  // ResolveLinks: each record's line from its number; records whose number
  // is 0 or less, is not found, or names a figure without that end are
  // dropped.
  void resolve(const FigureList& list);
  // MarkAttachedForMove: moveMark on every attached line.
  void markForMove() const;
  // MoveBy of the node: every attached line that is not selected gets
  // DragHandleBy(lineEnd, dx, dy, true, 0).
  void followMove(int32_t dx, int32_t dy) const;
  // Equals(…, 5): line number, line end, x and y of every record, in order.
  bool equalsNumbers(const NodeLinks& other) const;

  size_t snapshotSize() const { return 4 + records_.size() * 16; }
  void write(SnapshotWriter& w) const;
  // Replaces the records (numbers only); more than the capacity raises.
  void read(SnapshotReader& r);

 private:
  std::vector<Attachment> records_;
  size_t capacity_;
};

// Every link slot of one figure (CadPrim::CollectLinkSlots): its own ends,
// each with its end number (1 or 2), and its node-side record lists.
struct LinkSlots {
  struct End {
    int32_t end;
    EndLink* link;
  };
  std::vector<End> ends;
  std::vector<NodeLinks*> nodes;
};
LinkSlots Links_slotsOf(CadPrim& figure);

// From a destructor: DetachAll(true) unless the figure is a copy.  Never
// raises (an error is handled and dropped).
void Links_detachOnDestroy(CadPrim& self, bool isCopy) noexcept;

// Moves every distinct end target that is not selected by (dx, dy), once
// even when several ends hang on it (MoveBy of a line).
void Links_moveEndTargets(std::span<const EndLink> ends, int32_t dx, int32_t dy);

// Drops every link of the list that only one side holds (see the invariant
// above); pointers to figures outside the list, links of a figure to
// itself and a second record of the same line end on one node are dropped
// too.  Both sides are walked through CollectLinkSlots, so every slot of
// every kind is checked: an end whose node holds no record of it loses its
// target, a record whose line end does not point back is removed.
void Links_dropOneSided(FigureList& list);
