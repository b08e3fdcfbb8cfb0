#include "document/ink/ink_serialized.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "core/strx/strx_base64.h"

namespace {

// Tags of the format (below 50), and the known property ids (50 up).
enum IsfTag : uint32_t {
  Tag_inkSpaceRect = 0,
  Tag_guidTable = 1,
  Tag_attributesTable = 2,
  Tag_attributesBlock = 3,
  Tag_descriptorTable = 4,
  Tag_descriptorBlock = 5,
  Tag_buttons = 6,
  Tag_noX = 7,
  Tag_noY = 8,
  Tag_attributesIndex = 9,
  Tag_stroke = 10,
  Tag_strokePropertyList = 11,
  Tag_descriptorIndex = 13,
  Tag_transformTable = 15,
  Tag_transform = 16,
  Tag_transformIsotropicScale = 17,
  Tag_transformAnisotropicScale = 18,
  Tag_transformRotate = 19,
  Tag_transformTranslate = 20,
  Tag_transformScaleAndTranslate = 21,
  Tag_transformQuad = 22,
  Tag_transformIndex = 23,
  Tag_metricTable = 24,
  Tag_metricBlock = 25,
  Tag_metricIndex = 26,
  Tag_mantissa = 27,
  Id_x = 50,
  Id_y = 51,
  Id_normalPressure = 56,
  Id_colour = 68,
  Id_width = 69,
  Id_height = 70,
  Id_drawingFlags = 72,
  Id_rasterOp = 87,
  Id_firstCustom = 100,
};

constexpr uint32_t Flag_antiAliased = 0x10;
constexpr uint32_t Flag_ignorePressure = 0x04;
// Bounds that keep a damaged block from asking for more than it can hold.
constexpr uint32_t kMaxPointsPerStroke = 1u << 20;
constexpr size_t kMaxPointsTotal = size_t{1} << 24;
constexpr size_t kMaxTableEntries = 1u << 16;

// --- reading ------------------------------------------------------------------

class ByteReader {
 public:
  explicit ByteReader(std::string_view b) : b_(b) {}
  size_t left() const { return b_.size() - at_; }
  size_t at() const { return at_; }
  bool empty() const { return at_ >= b_.size(); }
  bool uint(uint32_t& v) {
    v = 0;
    for (int i = 0; i < 5; ++i) {
      if (at_ >= b_.size()) return false;
      const uint8_t c = static_cast<uint8_t>(b_[at_++]);
      if (i == 4 && (c & 0xF0) != 0) return false;
      v |= uint32_t{c & 0x7Fu} << (7 * i);
      if ((c & 0x80) == 0) return true;
    }
    return false;
  }
  bool sint(int32_t& v) {
    uint32_t u = 0;
    if (!uint(u)) return false;
    const int64_t mag = u >> 1;
    v = static_cast<int32_t>((u & 1) ? -mag : mag);
    return true;
  }
  bool f32(float& v) {
    if (left() < 4) return false;
    uint8_t raw[4];
    std::memcpy(raw, b_.data() + at_, 4);
    const uint32_t bits = raw[0] | (uint32_t{raw[1]} << 8) | (uint32_t{raw[2]} << 16) |
                          (uint32_t{raw[3]} << 24);
    std::memcpy(&v, &bits, 4);
    at_ += 4;
    return std::isfinite(v);
  }
  bool skip(size_t n) {
    if (n > left()) return false;
    at_ += n;
    return true;
  }
  // A sub-reader of the next n bytes (and skips them here).
  std::optional<ByteReader> take(size_t n) {
    if (n > left()) return std::nullopt;
    ByteReader r(b_.substr(at_, n));
    at_ += n;
    return r;
  }
  std::string_view rest() const { return b_.substr(at_); }

 private:
  std::string_view b_;
  size_t at_ = 0;
};

// Bits from the most significant bit of each byte on.
class BitReader {
 public:
  explicit BitReader(std::string_view b) : b_(b) {}
  bool bit(bool& v) {
    if (pos_ >= b_.size() * 8) return false;
    v = (static_cast<uint8_t>(b_[pos_ >> 3]) >> (7 - (pos_ & 7))) & 1;
    ++pos_;
    return true;
  }
  bool bits(int n, uint64_t& v) {
    if (n < 0 || n > 64 || pos_ + static_cast<size_t>(n) > b_.size() * 8) return false;
    v = 0;
    for (int i = 0; i < n; ++i) {
      bool b = false;
      bit(b);
      v = (v << 1) | (b ? 1 : 0);
    }
    return true;
  }
  size_t bytesUsed() const { return (pos_ + 7) / 8; }

 private:
  std::string_view b_;
  size_t pos_ = 0;
};

// The second difference of a run of values, and back.
struct DeltaDelta {
  int64_t x1 = 0, x2 = 0;
  int32_t inverse(int64_t dd) {
    const int64_t x = dd + 2 * x1 - x2;
    x2 = x1;
    x1 = static_cast<int32_t>(static_cast<uint32_t>(x));
    return static_cast<int32_t>(x1);
  }
  int64_t forward(int32_t x) {
    const int64_t dd = int64_t{x} - 2 * x1 + x2;
    x2 = x1;
    x1 = x;
    return dd;
  }
};

// The bit-amplitude tables of the Huffman coding: the data bits that
// follow a prefix of i ones.
constexpr std::array<std::array<uint8_t, 10>, 8> kHuffBits = {{
    {0, 1, 2, 4, 6, 8, 12, 16, 24, 32},
    {0, 1, 1, 2, 4, 8, 12, 16, 24, 32},
    {0, 1, 1, 1, 2, 4, 8, 14, 22, 32},
    {0, 2, 2, 3, 5, 8, 12, 16, 24, 32},
    {0, 3, 4, 5, 8, 12, 16, 24, 32, 0},
    {0, 4, 6, 8, 12, 16, 24, 32, 0, 0},
    {0, 6, 8, 12, 16, 24, 32, 0, 0, 0},
    {0, 7, 8, 12, 16, 24, 32, 0, 0, 0},
}};
constexpr std::array<uint8_t, 8> kHuffSize = {10, 10, 10, 10, 9, 8, 7, 7};

class Huffman {
 public:
  explicit Huffman(uint32_t index) : bits_(kHuffBits[index]), size_(kHuffSize[index]) {
    int64_t lower = 1;
    for (uint32_t n = 1; n < size_; ++n) {
      mins_[n] = lower;
      lower += int64_t{1} << (bits_[n] - 1);
    }
  }
  bool decode(BitReader& r, int64_t& data, int64_t& extra, int depth = 0) const {
    uint32_t pref = 0;
    bool b = false;
    while (true) {
      if (!r.bit(b)) return false;
      if (!b) break;
      if (++pref > size_) return false;
    }
    extra = 0;
    if (pref == 0) {
      data = 0;
      return true;
    }
    if (pref < size_) {
      uint64_t v = 0;
      if (!r.bits(bits_[pref], v)) return false;
      const int64_t mag = static_cast<int64_t>(v >> 1) + mins_[pref];
      data = (v & 1) ? -mag : mag;
      return true;
    }
    if (pref == size_ && depth == 0) {
      int64_t ignored = 0;
      return decode(r, extra, ignored, 1) && decode(r, data, ignored, 1);
    }
    return false;
  }

 private:
  const std::array<uint8_t, 10>& bits_;
  uint32_t size_;
  std::array<int64_t, 10> mins_{};
};

// One packet property's values: the algorithm byte and its coded bits.
bool decodePackets(ByteReader& in, uint32_t count, std::vector<int32_t>& out) {
  out.clear();
  if (in.empty()) return false;
  const std::string_view rest = in.rest();
  const uint8_t algo = static_cast<uint8_t>(rest[0]);
  const bool dd = (algo & 0x20) != 0;
  BitReader bits(rest.substr(1));
  DeltaDelta xf;
  out.reserve(count);
  if ((algo & 0xC0) == 0x80) {
    const uint32_t index = algo & 0x1F;
    if (index >= kHuffBits.size()) return false;
    const Huffman huff(index);
    for (uint32_t i = 0; i < count; ++i) {
      int64_t data = 0, extra = 0;
      if (!huff.decode(bits, data, extra)) return false;
      const int64_t v =
          extra != 0 ? static_cast<int64_t>((static_cast<uint64_t>(extra) << 32) |
                                            static_cast<uint32_t>(data))
                     : data;
      out.push_back(dd ? xf.inverse(v) : static_cast<int32_t>(static_cast<uint32_t>(v)));
    }
  } else if ((algo & 0xC0) == 0) {
    int n = algo & 0x1F;
    if (n == 0) n = 32;
    const uint32_t mask = ~uint32_t{0} << (n - 1);
    for (uint32_t i = 0; i < count; ++i) {
      uint64_t raw = 0;
      if (!bits.bits(n, raw)) return false;
      uint32_t v = static_cast<uint32_t>(raw);
      if (v & mask) v |= mask;
      const int32_t s = static_cast<int32_t>(v);
      out.push_back(dd ? xf.inverse(s) : s);
    }
  } else {
    return false;
  }
  return in.skip(1 + bits.bytesUsed());
}

struct Descriptor {
  std::vector<uint32_t> packetIds = {Id_x, Id_y};
};

// x' = a x + c y + e, y' = b x + d y + f.
struct Transform {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

bool readTransform(uint32_t tag, ByteReader& r, Transform& t) {
  float v[6] = {};
  auto floats = [&](int n) {
    for (int i = 0; i < n; ++i)
      if (!r.f32(v[i])) return false;
    return true;
  };
  t = Transform{};
  switch (tag) {
    case Tag_transform:
      if (!floats(6)) return false;
      t = {v[0], v[1], v[2], v[3], v[4], v[5]};
      return true;
    case Tag_transformIsotropicScale:
      if (!floats(1)) return false;
      t.a = t.d = v[0];
      return true;
    case Tag_transformAnisotropicScale:
      if (!floats(2)) return false;
      t.a = v[0];
      t.d = v[1];
      return true;
    case Tag_transformRotate: {
      uint32_t hundredths = 0;
      if (!r.uint(hundredths)) return false;
      const double rad = hundredths / 100.0 * 3.14159265358979323846 / 180.0;
      t = {std::cos(rad), std::sin(rad), -std::sin(rad), std::cos(rad), 0, 0};
      return true;
    }
    case Tag_transformTranslate:
      if (!floats(2)) return false;
      t.e = v[0];
      t.f = v[1];
      return true;
    case Tag_transformScaleAndTranslate:
      if (!floats(4)) return false;
      t = {v[0], 0, 0, v[1], v[2], v[3]};
      return true;
    default:
      return false;
  }
}

bool isTransformTag(uint32_t tag) {
  return tag >= Tag_transform && tag <= Tag_transformScaleAndTranslate;
}

int32_t clampInk(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int32_t>(std::llround(std::clamp(v, -1.0e9, 1.0e9)));
}

// A property the reader passes over: its size, then the algorithm byte
// and that many bytes.
bool skipProperty(ByteReader& r) {
  uint32_t size = 0;
  return r.uint(size) && r.skip(size_t{size} + 1);
}

bool readAttributes(ByteReader r, InkAttributes& a) {
  a = InkAttributes{};
  a.width = a.height = 53;
  while (!r.empty()) {
    uint32_t tag = 0, v = 0;
    if (!r.uint(tag)) return false;
    if (tag == Tag_mantissa) {
      uint32_t size = 0;
      if (!r.uint(size) || !r.skip(size)) return false;
      continue;
    }
    if (tag >= Id_firstCustom || tag < Id_x) {
      if (!skipProperty(r)) return false;
      continue;
    }
    if (!r.uint(v)) return false;
    switch (tag) {
      case Id_colour: a.colour = v & 0xFFFFFF; break;
      case Id_width: a.width = static_cast<int32_t>(std::min<uint32_t>(v, 1000000)); break;
      case Id_height: a.height = static_cast<int32_t>(std::min<uint32_t>(v, 1000000)); break;
      case Id_drawingFlags: a.ignorePressure = (v & Flag_ignorePressure) != 0; break;
      case Id_rasterOp: a.rasterOp = static_cast<int32_t>(std::min<uint32_t>(v, 16)); break;
      default: break;
    }
  }
  return true;
}

bool readDescriptor(ByteReader r, Descriptor& d) {
  d.packetIds = {Id_x, Id_y};
  bool noX = false, noY = false;
  std::vector<uint32_t> more;
  while (!r.empty()) {
    uint32_t tag = 0;
    if (!r.uint(tag)) return false;
    if (tag == Tag_noX) {
      noX = true;
    } else if (tag == Tag_noY) {
      noY = true;
    } else if (tag == Tag_buttons || tag == Tag_strokePropertyList) {
      break;  // what follows is not packet data of every point
    } else if (more.size() < 64) {
      more.push_back(tag);
    } else {
      return false;
    }
  }
  d.packetIds.clear();
  if (!noX) d.packetIds.push_back(Id_x);
  if (!noY) d.packetIds.push_back(Id_y);
  d.packetIds.insert(d.packetIds.end(), more.begin(), more.end());
  return true;
}

// A table: its size, then blocks of a size and content each.
template <typename Entry, typename Read>
bool readTable(ByteReader& r, std::vector<Entry>& table, Read read) {
  uint32_t size = 0;
  if (!r.uint(size)) return false;
  std::optional<ByteReader> body = r.take(size);
  if (!body) return false;
  table.clear();
  while (!body->empty()) {
    uint32_t blockSize = 0;
    if (!body->uint(blockSize)) return false;
    std::optional<ByteReader> block = body->take(blockSize);
    if (!block || table.size() >= kMaxTableEntries) return false;
    Entry e;
    if (!read(*block, e)) return false;
    table.push_back(std::move(e));
  }
  return true;
}

// The largest normal pressure a metric block announces (0: none).
bool readMetrics(ByteReader r, int32_t& pressureMax) {
  while (!r.empty()) {
    uint32_t tag = 0, size = 0;
    if (!r.uint(tag) || !r.uint(size)) return false;
    std::optional<ByteReader> entry = r.take(size);
    if (!entry) return false;
    int32_t lo = 0, hi = 0;
    if (tag == Id_normalPressure && entry->sint(lo) && entry->sint(hi) && hi > 0) pressureMax = hi;
  }
  return true;
}

struct DecodeState {
  std::vector<InkAttributes> attributes{InkAttributes{}};
  std::vector<Descriptor> descriptors{Descriptor{}};
  std::vector<Transform> transforms{Transform{}};
  std::vector<int32_t> pressureMaxima{0};
  size_t attributesIndex = 0, descriptorIndex = 0, transformIndex = 0, metricIndex = 0;
  size_t points = 0;
};

template <typename T>
const T& pick(const std::vector<T>& table, size_t index) {
  return table[std::min(index, table.size() - 1)];
}

bool readStroke(ByteReader r, DecodeState& st, std::vector<InkStroke>& out) {
  InkStroke s;
  s.attributes = pick(st.attributes, st.attributesIndex);
  if (r.empty()) return true;
  uint32_t count = 0;
  if (!r.uint(count) || count > kMaxPointsPerStroke || count > r.left() * 8) return false;
  st.points += count;
  if (st.points > kMaxPointsTotal) return false;
  const Descriptor& d = pick(st.descriptors, st.descriptorIndex);
  std::vector<int32_t> xs(count, 0), ys(count, 0), ps;
  std::vector<int32_t> values;
  for (const uint32_t id : d.packetIds) {
    if (count == 0) break;
    if (!decodePackets(r, count, values)) return false;
    if (id == Id_x) xs = values;
    if (id == Id_y) ys = values;
    if (id == Id_normalPressure) ps = values;
  }
  const Transform& t = pick(st.transforms, st.transformIndex);
  const int32_t pMax = pick(st.pressureMaxima, st.metricIndex);
  s.points.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    InkPoint& p = s.points[i];
    p.x = clampInk(t.a * xs[i] + t.c * ys[i] + t.e);
    p.y = clampInk(t.b * xs[i] + t.d * ys[i] + t.f);
    if (!ps.empty()) {
      int64_t v = std::max(ps[i], 0);
      if (pMax > 0) v = v * InkPoint_pressureMax / pMax;
      p.pressure = static_cast<int32_t>(std::clamp<int64_t>(v, 0, InkPoint_pressureMax));
    }
  }
  out.push_back(std::move(s));
  return true;
}

bool readSized(ByteReader& r, std::optional<ByteReader>& body) {
  uint32_t size = 0;
  if (!r.uint(size)) return false;
  body = r.take(size);
  return body.has_value();
}

bool decodeTag(uint32_t tag, ByteReader& r, DecodeState& st, std::vector<InkStroke>& out) {
  std::optional<ByteReader> body;
  uint32_t index = 0;
  switch (tag) {
    case Tag_inkSpaceRect: {
      int32_t v = 0;
      for (int i = 0; i < 4; ++i)
        if (!r.sint(v)) return false;
      return true;
    }
    case Tag_attributesTable:
      return readTable(r, st.attributes, readAttributes) && !st.attributes.empty();
    case Tag_attributesBlock:
      st.attributes.resize(1);
      return readSized(r, body) && readAttributes(*body, st.attributes[0]);
    case Tag_descriptorTable:
      return readTable(r, st.descriptors, readDescriptor) && !st.descriptors.empty();
    case Tag_descriptorBlock:
      st.descriptors.resize(1);
      return readSized(r, body) && readDescriptor(*body, st.descriptors[0]);
    case Tag_metricTable:
      return readTable(r, st.pressureMaxima, [](ByteReader b, int32_t& m) {
               m = 0;
               return readMetrics(b, m);
             }) && !st.pressureMaxima.empty();
    case Tag_metricBlock:
      st.pressureMaxima.assign(1, 0);
      return readSized(r, body) && readMetrics(*body, st.pressureMaxima[0]);
    case Tag_attributesIndex:
      if (!r.uint(index)) return false;
      st.attributesIndex = index;
      return true;
    case Tag_descriptorIndex:
      if (!r.uint(index)) return false;
      st.descriptorIndex = index;
      return true;
    case Tag_transformIndex:
      if (!r.uint(index)) return false;
      st.transformIndex = index;
      return true;
    case Tag_metricIndex:
      if (!r.uint(index)) return false;
      st.metricIndex = index;
      return true;
    case Tag_transformTable: {
      if (!readSized(r, body)) return false;
      st.transforms.clear();
      while (!body->empty()) {
        uint32_t t = 0;
        Transform x;
        if (!body->uint(t) || !isTransformTag(t) || !readTransform(t, *body, x)) return false;
        if (st.transforms.size() >= kMaxTableEntries) return false;
        st.transforms.push_back(x);
      }
      if (st.transforms.empty()) st.transforms.emplace_back();
      return true;
    }
    case Tag_stroke:
      return readSized(r, body) && readStroke(*body, st, out);
    case Tag_transformQuad:
      return false;
    default:
      if (isTransformTag(tag)) {
        st.transforms.resize(1);
        return readTransform(tag, r, st.transforms[0]);
      }
      // Everything else has its size first: the guid table, compression
      // header, mantissa, persistence format, himetric size, stroke ids and
      // the ink's own properties.
      if (tag >= Id_firstCustom) return skipProperty(r);
      if (tag >= Id_x) return false;
      return readSized(r, body);
  }
}

// --- writing ------------------------------------------------------------------

void putUint(std::string& out, uint32_t v) {
  while (v > 0x7F) {
    out += static_cast<char>(0x80 | (v & 0x7F));
    v >>= 7;
  }
  out += static_cast<char>(v);
}

void putSized(std::string& out, uint32_t tag, const std::string& body) {
  putUint(out, tag);
  putUint(out, static_cast<uint32_t>(body.size()));
  out += body;
}

class BitWriter {
 public:
  explicit BitWriter(std::string& out) : out_(out) {}
  void put(uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) {
      if (used_ == 0) out_ += '\0';
      if ((v >> i) & 1) out_.back() = static_cast<char>(out_.back() | (0x80 >> used_));
      used_ = (used_ + 1) & 7;
    }
  }

 private:
  std::string& out_;
  int used_ = 0;
};

int bitsFor(uint64_t magnitude) {
  int n = 0;
  while (n < 31 && (magnitude >> n) != 0) ++n;
  return n + 1;  // and the sign
}

// Gorilla coding of one property, on the second differences when they
// are smaller.
void putPackets(std::string& out, const std::vector<int32_t>& values) {
  uint64_t rawMax = 0, ddMax = 0;
  bool ddFits = values.size() >= 3;
  DeltaDelta xf;
  std::vector<int64_t> dds;
  dds.reserve(values.size());
  for (const int32_t v : values) {
    rawMax = std::max<uint64_t>(rawMax, static_cast<uint64_t>(std::llabs(int64_t{v})));
    const int64_t dd = xf.forward(v);
    if (dd > INT32_MAX || dd < -int64_t{INT32_MAX}) ddFits = false;
    ddMax = std::max<uint64_t>(ddMax, static_cast<uint64_t>(std::llabs(dd)));
    dds.push_back(dd);
  }
  const bool useDd = ddFits && (ddMax >> 1) < rawMax;
  const int n = bitsFor(useDd ? ddMax : rawMax);
  out += static_cast<char>((n & 0x1F) | (useDd ? 0x20 : 0));
  BitWriter w(out);
  for (size_t i = 0; i < values.size(); ++i)
    w.put(static_cast<uint32_t>(useDd ? dds[i] : values[i]), n);
}

std::string attributesBlock(const InkAttributes& a) {
  std::string b;
  putUint(b, Id_colour);
  putUint(b, a.colour & 0xFFFFFF);
  putUint(b, Id_width);
  putUint(b, static_cast<uint32_t>(std::max(a.width, 0)));
  putUint(b, Id_height);
  putUint(b, static_cast<uint32_t>(std::max(a.height, 0)));
  putUint(b, Id_drawingFlags);
  putUint(b, Flag_antiAliased | (a.ignorePressure ? Flag_ignorePressure : 0));
  if (a.rasterOp != InkRop_copyPen) {
    putUint(b, Id_rasterOp);
    putUint(b, static_cast<uint32_t>(std::max(a.rasterOp, 0)));
  }
  return b;
}

bool hasPressure(const InkStroke& s) {
  return std::any_of(s.points.begin(), s.points.end(), [](const InkPoint& p) { return p.pressure > 0; });
}

}  // namespace

std::optional<std::vector<InkStroke>> InkIsf_decode(std::string_view bytes) {
  ByteReader r(bytes);
  uint32_t version = 0, size = 0;
  if (!r.uint(version) || version != 0 || !r.uint(size)) return std::nullopt;
  std::optional<ByteReader> body = r.take(size);
  if (!body) return std::nullopt;
  DecodeState st;
  std::vector<InkStroke> out;
  while (!body->empty()) {
    uint32_t tag = 0;
    if (!body->uint(tag) || !decodeTag(tag, *body, st, out)) return std::nullopt;
  }
  return out;
}

std::string InkIsf_encode(std::span<const InkStroke> strokes) {
  std::vector<InkAttributes> kinds;
  std::vector<size_t> kindOf;
  kindOf.reserve(strokes.size());
  for (const InkStroke& s : strokes) {
    auto it = std::find(kinds.begin(), kinds.end(), s.attributes);
    if (it == kinds.end()) it = kinds.insert(kinds.end(), s.attributes);
    kindOf.push_back(static_cast<size_t>(it - kinds.begin()));
  }
  std::string body;
  if (!kinds.empty()) {
    std::string table;
    for (const InkAttributes& a : kinds) {
      const std::string b = attributesBlock(a);
      putUint(table, static_cast<uint32_t>(b.size()));
      table += b;
    }
    putSized(body, Tag_attributesTable, table);
    // Descriptor 0: x and y; descriptor 1: x, y and the pressure.
    std::string descriptors;
    putUint(descriptors, 0);
    std::string withPressure;
    putUint(withPressure, Id_normalPressure);
    putUint(descriptors, static_cast<uint32_t>(withPressure.size()));
    descriptors += withPressure;
    putSized(body, Tag_descriptorTable, descriptors);
  }
  size_t attributesIndex = 0, descriptorIndex = 0;
  for (size_t i = 0; i < strokes.size(); ++i) {
    const InkStroke& s = strokes[i];
    if (kindOf[i] != attributesIndex) {
      attributesIndex = kindOf[i];
      putUint(body, Tag_attributesIndex);
      putUint(body, static_cast<uint32_t>(attributesIndex));
    }
    const size_t descriptor = hasPressure(s) ? 1 : 0;
    if (descriptor != descriptorIndex) {
      descriptorIndex = descriptor;
      putUint(body, Tag_descriptorIndex);
      putUint(body, static_cast<uint32_t>(descriptorIndex));
    }
    std::string stroke;
    putUint(stroke, static_cast<uint32_t>(s.points.size()));
    if (!s.points.empty()) {
      std::vector<int32_t> v(s.points.size());
      for (size_t k = 0; k < v.size(); ++k) v[k] = s.points[k].x;
      putPackets(stroke, v);
      for (size_t k = 0; k < v.size(); ++k) v[k] = s.points[k].y;
      putPackets(stroke, v);
      if (descriptor == 1) {
        for (size_t k = 0; k < v.size(); ++k) v[k] = s.points[k].pressure;
        putPackets(stroke, v);
      }
    }
    putSized(body, Tag_stroke, stroke);
  }
  std::string out;
  putUint(out, 0);
  putUint(out, static_cast<uint32_t>(body.size()));
  return out + body;
}

std::optional<std::vector<InkStroke>> InkIsf_decodeBase64(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return std::vector<InkStroke>{};
  size_t stop = 0;
  const std::string bytes = StrX_base64Decode(text, &stop);
  // Anything after the Base64 text but its padding is not this format.
  const std::string_view tail = text.substr(stop);
  if (tail.find_first_not_of("= \t\r\n") != std::string_view::npos) return std::nullopt;
  return InkIsf_decode(bytes);
}

std::string InkIsf_encodeBase64(std::span<const InkStroke> strokes) {
  if (strokes.empty()) return {};
  std::string text = StrX_base64Encode(InkIsf_encode(strokes));
  std::erase(text, '\r');
  std::erase(text, '\n');
  return text;
}
