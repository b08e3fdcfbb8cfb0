// The back/forward history of a main window: a list of chains, each a list
// of places and a current position.  Following a link writes the place
// being left into the current entry and appends the place reached (the
// entries ahead of the current one are dropped then); back and forward
// move the position.  A window that replaces another one by following a
// link takes over the other window's chain, so "back" leads to the note of
// the window that was closed.  Plain C++.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct LinkHistoryEntry {
  std::string path;        // the note (full path; "" untitled)
  int32_t page = 1;        // page number
  int32_t scrollX = 0, scrollY = 0;  // view scroll position, pixels
  int32_t zoom = 100;      // zoom percentage
  int32_t zoomMode = 0;    // fixed, fit page, fit width
  std::string selectedId;  // id of the selected figure ("" none)
  std::string enlargedId;  // id of an image shown enlarged ("" none)
  bool operator==(const LinkHistoryEntry&) const = default;
};

struct LinkHistoryChain {
  std::vector<LinkHistoryEntry> entries;
  size_t current = 0;
};

class LinkHistory {
 public:
  // A new chain with the one entry `here` becomes the current chain.
  void startChain(const LinkHistoryEntry& here);
  // Writes `here` into the current entry (starting a chain when there is
  // none).
  void update(const LinkHistoryEntry& here);
  // Drops the entries ahead of the current one and appends `reached`.
  void push(const LinkHistoryEntry& reached);

  bool canBack() const;
  bool canForward() const;
  // Writes `here` into the current entry and moves one step; the entry
  // stepped to (none when there is no step).
  std::optional<LinkHistoryEntry> back(const LinkHistoryEntry& here);
  std::optional<LinkHistoryEntry> forward(const LinkHistoryEntry& here);
  // Undoes the last back (+1) or forward (-1) step: a jump that failed.
  void unstep(int direction);

  size_t chainCount() const { return chains_.size(); }
  const LinkHistoryChain* currentChain() const;
  // Hands the current chain to another window (this window keeps none).
  LinkHistoryChain takeChain();
  // The taken chain becomes this window's current chain.
  void adoptChain(LinkHistoryChain chain);

 private:
  std::vector<LinkHistoryChain> chains_;  // the last one is current
};
