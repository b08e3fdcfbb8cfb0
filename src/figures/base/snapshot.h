// Snapshots: the flat byte image of a figure's persistent state that undo
// and the clipboard keep.  The layout is explicit little-endian:
//   int32 kind, uint16 version, then the kind's fields in its own order.
// Texts are a uint32 byte count and the bytes (no terminator).  Partners are
// stored as figure numbers only.
//
// A kind computes its exact size with the *Size helpers (GetSnapshotSize),
// writes with a SnapshotWriter (WriteSnapshot) and reads with a
// SnapshotReader (ReadSnapshot), which checks every read against the end of
// the data: a read past the end, a wrong kind, an unknown version or a
// length that does not fit raise 102 ("error").  Snapshot_make and
// Snapshot_restore wrap the three operations and also check that the size
// was exact and that every byte was read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CadPrim;

inline constexpr size_t Snapshot_headerSize = 6;  // int32 kind + uint16 version
inline constexpr size_t Snapshot_int8Size = 1;
inline constexpr size_t Snapshot_int16Size = 2;
inline constexpr size_t Snapshot_int32Size = 4;
inline constexpr size_t Snapshot_int64Size = 8;
constexpr size_t Snapshot_stringSize(std::string_view s) { return 4 + s.size(); }

class SnapshotWriter {
 public:
  // Writes into data[0, size); writing past the end raises 102.
  SnapshotWriter(uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit SnapshotWriter(std::vector<uint8_t>& buffer)
      : SnapshotWriter(buffer.data(), buffer.size()) {}

  void header(int32_t kind, uint16_t version);
  void u8(uint8_t v);
  void boolean(bool v) { u8(v ? 1 : 0); }
  void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
  void u16(uint16_t v);
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void u32(uint32_t v);
  void i64(int64_t v);
  void bytes(std::span<const uint8_t> v);
  void string(std::string_view s);

  size_t written() const { return pos_; }
  size_t remaining() const { return size_ - pos_; }

 private:
  uint8_t* room(size_t n);

  uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

class SnapshotReader {
 public:
  SnapshotReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit SnapshotReader(std::span<const uint8_t> data)
      : SnapshotReader(data.data(), data.size()) {}

  // Reads the header; raises unless the kind is `kind` and the version is
  // 1 ... maxVersion.  Returns the version.
  uint16_t header(int32_t kind, uint16_t maxVersion);
  uint8_t u8();
  // Any byte other than 0 and 1 raises.
  bool boolean();
  int16_t i16() { return static_cast<int16_t>(u16()); }
  uint16_t u16();
  int32_t i32() { return static_cast<int32_t>(u32()); }
  uint32_t u32();
  int64_t i64();
  void bytes(std::span<uint8_t> out);
  // A text of at most maxBytes bytes (longer raises).
  std::string string(size_t maxBytes = SIZE_MAX);

  size_t position() const { return pos_; }
  size_t remaining() const { return size_ - pos_; }
  // Raises unless every byte has been read.
  void expectEnd() const;

 private:
  const uint8_t* take(size_t n);

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// The kind and version at the start of a snapshot, without reading it
// (raises when the data is shorter than the header).
struct SnapshotHeader {
  int32_t kind = 0;
  uint16_t version = 0;
};
SnapshotHeader Snapshot_peekHeader(std::span<const uint8_t> data);

// GetSnapshotSize bytes filled by WriteSnapshot; raises 102 when the figure
// wrote fewer or more bytes than it said.
std::vector<uint8_t> Snapshot_make(const CadPrim& figure);
// ReadSnapshot over the data; raises 102 when the data is malformed or not
// wholly read.
void Snapshot_restore(CadPrim& figure, std::span<const uint8_t> data);
