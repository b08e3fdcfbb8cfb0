// Small memory containers:
//   ArrX_Able      fixed slots with a used flag (901 when every slot is used)
//   ArrX_Buf       a bounded byte buffer whose append cuts silently
//   ArrX_Chain     fixed-size blocks whose items never move
//   ArrX_Dyn       a growable byte buffer
//   ArrX_HashTable 255 buckets of (key, data) entries, newest first
// None is thread-safe; each belongs to its holder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <forward_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/strx/strx_search.h"

// Raises ArrX_Err_Full (901, "ArrX_Able が満杯です").
[[noreturn]] void ArrX_raiseFull();

// ---- ArrX_Able ----

// A fixed number of slots, each with a used flag; the slot count never
// changes, so slot references stay valid.
template <class T>
class ArrX_Able {
 public:
  explicit ArrX_Able(size_t slotCount) : slots_(slotCount) {}

  size_t size() const { return slots_.size(); }
  bool isUsed(size_t i) const { return slots_.at(i).used; }
  T& operator[](size_t i) { return slots_.at(i).value; }
  const T& operator[](size_t i) const { return slots_.at(i).value; }

  // The index of the first slot whose used flag is 0; raises 901 when every
  // slot is used (nothing is taken then).
  size_t firstFree() const {
    for (size_t i = 0; i < slots_.size(); ++i)
      if (!slots_[i].used) return i;
    ArrX_raiseFull();
  }
  // Takes the first free slot (raises 901 when none): it is set to `value`
  // and marked used.
  T& take(T value = T()) {
    Slot& s = slots_[firstFree()];
    s.value = std::move(value);
    s.used = true;
    return s.value;
  }
  void setUsed(size_t i, bool used) { slots_.at(i).used = used; }
  // The first used slot at or after `cursor`; size() when none remains.
  size_t nextUsed(size_t cursor) const {
    while (cursor < slots_.size() && !slots_[cursor].used) ++cursor;
    return cursor < slots_.size() ? cursor : slots_.size();
  }
  size_t usedCount() const {
    size_t n = 0;
    for (const Slot& s : slots_) n += s.used ? 1 : 0;
    return n;
  }

 private:
  struct Slot {
    bool used = false;
    T value{};
  };
  std::vector<Slot> slots_;
};

// ---- ArrX_Buf ----

// A byte buffer of a fixed capacity with a write position
// (0 <= position <= capacity).
class ArrX_Buf {
 public:
  explicit ArrX_Buf(size_t capacity) : bytes_(capacity) {}

  // Copies `data` at the position.  What does not fit is dropped and the
  // position stays at the end (no error).  Returns the bytes copied.
  size_t append(std::string_view data);
  size_t position() const { return pos_; }
  size_t capacity() const { return bytes_.size(); }
  size_t room() const { return bytes_.size() - pos_; }
  bool isFull() const { return pos_ == bytes_.size(); }
  // The bytes written so far.
  std::string_view data() const { return {bytes_.data(), pos_}; }
  void clear() { pos_ = 0; }

 private:
  std::vector<char> bytes_;
  size_t pos_ = 0;
};

// ---- ArrX_Chain ----

// Blocks of `blockSize` bytes; the last 4 bytes of each block are its link
// word (the 1-based index of the next block, 0 in the last one), the rest
// holds the items.  Blocks are only added, so taken items never move.
class ArrX_Chain {
 public:
  static constexpr size_t linkSize = 4;

  // blockSize must leave room for one item beside the link word.
  explicit ArrX_Chain(size_t blockSize);

  // n bytes at the next free position, or at the start of a new block when
  // they do not fit before the current block's link word (n larger than a
  // block's item room raises 102).
  std::byte* take(size_t n);
  template <class T>
  T* takeItem() {
    return reinterpret_cast<T*>(take(sizeof(T)));
  }
  // The number of 4-byte items held: (blockSize - 4) / 4 for each full
  // block, and the used bytes / 4 of the current one.
  size_t count() const;
  size_t blockCount() const { return blocks_.size(); }
  size_t blockSize() const { return blockSize_; }
  // The link word of block i, as stored.
  uint32_t link(size_t i) const;
  // Releases every block and starts again with one empty block.
  void clear();

 private:
  void addBlock();
  size_t blockSize_;
  size_t pos_ = 0;  // next free byte in the current (last) block
  std::vector<std::unique_ptr<std::byte[]>> blocks_;
};

// ---- ArrX_Dyn ----

// A growable byte buffer.  reserve() may move the buffer: keep offsets,
// not addresses, across it.
class ArrX_Dyn {
 public:
  explicit ArrX_Dyn(size_t step);

  // n more bytes at the end; when they exceed the capacity the buffer grows
  // by max(step, what is missing).  Returns their address.
  std::byte* reserve(size_t n);
  template <class T>
  void push(const T& value) {
    std::byte* p = reserve(sizeof(T));
    std::memcpy(p, &value, sizeof(T));
  }
  std::byte* data() { return bytes_.data(); }
  const std::byte* data() const { return bytes_.data(); }
  size_t used() const { return used_; }
  size_t capacity() const { return bytes_.size(); }
  size_t step() const { return step_; }
  void clear() { used_ = 0; }

 private:
  size_t step_;
  size_t used_ = 0;
  std::vector<std::byte> bytes_;
};

// ---- ArrX_HashTable ----

inline constexpr uint32_t ArrX_hashBucketCount = 255;

// 255 buckets, each a list of entries, the newest first.  The table keeps
// its own copy of every key.
template <class T>
class ArrX_HashTable {
 public:
  struct Entry {
    std::string key;
    T data;
  };

  ArrX_HashTable() : buckets_(ArrX_hashBucketCount) {}

  // The bucket of a key: StrX_hash (unsigned bytes) modulo 255.
  static uint32_t bucketOf(std::string_view key) { return StrX_hash(key, ArrX_hashBucketCount); }

  // Puts the entry at the front of its bucket; returns the bucket index.
  uint32_t insert(std::string_view key, T data) {
    uint32_t b = bucketOf(key);
    buckets_[b].push_front(Entry{std::string(key), std::move(data)});
    return b;
  }
  // The newest entry with this key (case-sensitive), or nullptr.
  T* find(std::string_view key) {
    for (Entry& e : buckets_[bucketOf(key)])
      if (e.key == key) return &e.data;
    return nullptr;
  }
  const T* find(std::string_view key) const {
    for (const Entry& e : buckets_[bucketOf(key)])
      if (e.key == key) return &e.data;
    return nullptr;
  }
  const std::forward_list<Entry>& bucket(uint32_t i) const { return buckets_.at(i); }
  uint32_t bucketCount() const { return ArrX_hashBucketCount; }
  // Releases every entry; the buckets stay, empty.
  void clear() {
    for (auto& b : buckets_) b.clear();
  }

 private:
  std::vector<std::forward_list<Entry>> buckets_;
};
