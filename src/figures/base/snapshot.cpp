#include "figures/base/snapshot.h"

#include <cstring>

#include "core/errors/errors.h"
#include "figures/base/cad_prim.h"

uint8_t* SnapshotWriter::room(size_t n) {
  if (n > size_ - pos_) Errors_RAISE(Errors_Unofficial, "error");
  uint8_t* p = data_ + pos_;
  pos_ += n;
  return p;
}

void SnapshotWriter::header(int32_t kind, uint16_t version) {
  i32(kind);
  u16(version);
}

void SnapshotWriter::u8(uint8_t v) { *room(1) = v; }

void SnapshotWriter::u16(uint16_t v) {
  uint8_t* p = room(2);
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void SnapshotWriter::u32(uint32_t v) {
  uint8_t* p = room(4);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void SnapshotWriter::i64(int64_t v) {
  uint8_t* p = room(8);
  const uint64_t u = static_cast<uint64_t>(v);
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
}

void SnapshotWriter::bytes(std::span<const uint8_t> v) {
  if (v.empty()) return;
  std::memcpy(room(v.size()), v.data(), v.size());
}

void SnapshotWriter::string(std::string_view s) {
  if (s.size() > UINT32_MAX) Errors_RAISE(Errors_Unofficial, "error");
  u32(static_cast<uint32_t>(s.size()));
  bytes({reinterpret_cast<const uint8_t*>(s.data()), s.size()});
}

const uint8_t* SnapshotReader::take(size_t n) {
  if (n > size_ - pos_) Errors_RAISE(Errors_Unofficial, "error");
  const uint8_t* p = data_ + pos_;
  pos_ += n;
  return p;
}

uint16_t SnapshotReader::header(int32_t kind, uint16_t maxVersion) {
  const int32_t k = i32();
  const uint16_t v = u16();
  if (k != kind || v == 0 || v > maxVersion) Errors_RAISE(Errors_Unofficial, "error");
  return v;
}

uint8_t SnapshotReader::u8() { return *take(1); }

bool SnapshotReader::boolean() {
  const uint8_t b = u8();
  if (b > 1) Errors_RAISE(Errors_Unofficial, "error");
  return b == 1;
}

uint16_t SnapshotReader::u16() {
  const uint8_t* p = take(2);
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t SnapshotReader::u32() {
  const uint8_t* p = take(4);
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  return v;
}

int64_t SnapshotReader::i64() {
  const uint8_t* p = take(8);
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  return static_cast<int64_t>(v);
}

void SnapshotReader::bytes(std::span<uint8_t> out) {
  if (out.empty()) return;
  std::memcpy(out.data(), take(out.size()), out.size());
}

std::string SnapshotReader::string(size_t maxBytes) {
  const uint32_t n = u32();
  if (n > maxBytes) Errors_RAISE(Errors_Unofficial, "error");
  const uint8_t* p = take(n);
  return std::string(reinterpret_cast<const char*>(p), n);
}

void SnapshotReader::expectEnd() const {
  if (pos_ != size_) Errors_RAISE(Errors_Unofficial, "error");
}

SnapshotHeader Snapshot_peekHeader(std::span<const uint8_t> data) {
  SnapshotReader r(data);
  SnapshotHeader h;
  h.kind = r.i32();
  h.version = r.u16();
  return h;
}

std::vector<uint8_t> Snapshot_make(const CadPrim& figure) {
  std::vector<uint8_t> buffer(figure.GetSnapshotSize());
  SnapshotWriter w(buffer);
  figure.WriteSnapshot(w);
  if (w.remaining() != 0) Errors_RAISE(Errors_Unofficial, "error");
  return buffer;
}

void Snapshot_restore(CadPrim& figure, std::span<const uint8_t> data) {
  SnapshotReader r(data);
  figure.ReadSnapshot(r);
  r.expectEnd();
}
